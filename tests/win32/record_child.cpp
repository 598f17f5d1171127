// Started by the process tests: writes what it was started with to the file its first argument
// names, then tries the handle its second argument names, which it must not have inherited.
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/app_facts.h"
#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

using namespace platform::win32;

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));

    bool signalled = false;
    if (argc >= 3) {
        const auto value = static_cast<std::uintptr_t>(std::wcstoull(argv[2], nullptr, 10));
        signalled = SetEvent(reinterpret_cast<HANDLE>(value)) != FALSE;
    }

    const std::wstring out = argv[1];
    const std::wstring part = out + L".part";
    {
        std::ofstream file(part.c_str(), std::ios::binary);
        file << "show=" << startup.wShowWindow << "\n";
        file << "uses_show=" << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) << "\n";
        file << "folder=" << narrow(folder) << "\n";
        file << "line=" << narrow(GetCommandLineW()) << "\n";
        file << "console=" << (GetConsoleWindow() || GetStdHandle(STD_OUTPUT_HANDLE) ? 1 : 0) << "\n";
        file << "inherited=" << (signalled ? 1 : 0) << "\n";
        file << "pid=" << GetCurrentProcessId() << "\n";
        file << "tid=" << GetCurrentThreadId() << "\n";
        file << "program_folder=" << read_app_facts().folder << "\n";
    }
    // Whole or not at all: the test waits for the final name.
    MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
