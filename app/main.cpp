// The program's only entry: the main window, then the message loop until it closes.
#include <exception>

#include "main_window/frm_main.h"
#include "platform/win32/window/event_pump.h"
#include "platform/win32/system/system_library.h"
#include "platform/win32/base.h"
#include "platform/win32/win32_platform.h"
#include "win32_base/windows_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command)
{
    // Before anything loads a DLL.
    platform::win32::restrict_dll_search();
    try {
        platform::win32::Win32Platform platform(instance, show_command);
        frmMain main_form(platform);
        platform::guarded(platform, [&] { main_form.show(); });
        if (!platform.main_window())
            return 1;
        return platform::win32::run_message_loop();
    } catch (const std::exception& failure) {
        const std::wstring text = platform::win32::widen(platform::win32::failure_text("Vintrel", failure.what()));
        MessageBoxW(nullptr, text.c_str(), L"Vintrel", MB_OK | MB_ICONERROR);
        return 1;
    }
}
