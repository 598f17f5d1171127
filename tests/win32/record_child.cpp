// Started by the process tests: writes what it was started with to the file its first argument
// names, then tries the handle its second argument names, which it must not have inherited.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    const bool inherited =
        argc >= 3 && SetEvent(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::wcstoull(argv[2], nullptr, 10))));

    const std::wstring out = argv[1];
    {
        std::ofstream file((out + L".part").c_str(), std::ios::binary);
        file << "show=" << startup.wShowWindow << "\nuses_show=" << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0)
             << "\nfolder=" << platform::win32::narrow(folder) << "\nline=" << platform::win32::narrow(GetCommandLineW())
             << "\ninherited=" << (inherited ? 1 : 0) << "\npid=" << GetCurrentProcessId()
             << "\ntid=" << GetCurrentThreadId() << "\n";
    }
    // Whole or not at all: the test waits for the final name.
    MoveFileExW((out + L".part").c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
