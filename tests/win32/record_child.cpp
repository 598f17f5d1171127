// Stands in for a started program (biftool.exe among them): writes how it was started to
// "record.txt" beside itself, whole or not at all, with its process id, then tries to set the
// event that RECORD_EVENT names, which it must not have inherited. Given "--" first, it stands
// in for the console host too and starts what follows.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/system/app_facts.h"
#include "platform/win32/base.h"
#include "win32_base/windows_api.h"

int wmain(int argc, wchar_t** argv)
{
    using platform::win32::narrow;
    if (argc > 1 && std::wstring(argv[1]) == L"--") {
        std::wstring client = GetCommandLineW();
        client.erase(0, client.find(L" -- ") + 4);
        STARTUPINFOW plain{sizeof plain};
        PROCESS_INFORMATION started{};
        if (CreateProcessW(nullptr, client.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &plain, &started)) {
            CloseHandle(started.hThread);
            CloseHandle(started.hProcess);
        }
    }
    STARTUPINFOW startup{sizeof startup};
    GetStartupInfoW(&startup);
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    const wchar_t* event = _wgetenv(L"RECORD_EVENT");
    const bool inherited = event && SetEvent(reinterpret_cast<HANDLE>(std::wcstoull(event, nullptr, 10)));
    const std::wstring out = platform::win32::folder_of(platform::win32::program_path()) + L"\\record.txt";
    std::ofstream((out + L".part").c_str(), std::ios::binary)
        << "show=" << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : "none")
        << "\nfolder=" << narrow(folder) << "\nline=" << narrow(GetCommandLineW()) << "\ninherited=" << inherited
        << "\npid=" << GetCurrentProcessId() << "\n";
    MoveFileExW((out + L".part").c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
