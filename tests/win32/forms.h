#pragma once
// The program's own windows on the real platform, which records message boxes and program
// starts instead of showing and starting them, and sees two archives in its folder.
#include <vector>

#include "info_window/frm_info.h"
#include "main_window/frm_main.h"
#include "platform/win32/form_window.h"
#include "platform/win32/win32_platform.h"
#include "support.h"

namespace test {

class Platform : public platform::win32::Win32Platform {
public:
    Platform() : Win32Platform(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE) {}
    std::vector<std::string> failures, messages, starts;
    std::vector<platform::FileEntry> read_folder(const std::string&) override { return {{"a.bif"}, {"b.bif"}}; }
    void report_failure(const std::string& what) override { failures.push_back(what); }
    void message_box(const std::string&, const std::string& title) override { messages.push_back(title); }
    void start_process(const std::string& line, platform::ShowMode, const std::string&) override { starts.push_back(line); }
};

inline HWND window_of(const platform::Form& form)
{
    return form.peer() ? static_cast<platform::win32::FormWindow*>(form.peer())->handle() : nullptr;
}

// A press of the left button at a point of a form and its release at another (client twips).
inline void click(const platform::Form& form, float x, float y, float up_x, float up_y)
{
    SendMessageW(window_of(form), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(x), px(y)));
    SendMessageW(window_of(form), WM_LBUTTONUP, 0, MAKELPARAM(px(up_x), px(up_y)));
}

// The main window shown and activated, as the user's click would; unloaded at the end, with the
// quit request that leaves.
struct Shown {
    Platform platform;
    frmMain main{platform};
    HWND window = (main.show(), SetActiveWindow(window_of(main)), window_of(main));
    ~Shown()
    {
        main.unload();
        platform::win32::pump_events();
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
};

} // namespace test
