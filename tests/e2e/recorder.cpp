// Stands in for biftool.exe in the end-to-end tests: appends how it was started (command line,
// show mode, working folder) as one UTF-8 line to biftool-record.txt beside itself, then exits.
#include "support/text.h"

#include <windows.h>

#include <string>

using e2e::utf8;

namespace {

std::wstring own_folder()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring working_folder()
{
    std::wstring folder(32768, L'\0');
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    folder.resize(n);
    return folder;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : "none";

    std::string line = utf8(GetCommandLineW()) + "\t" + show + "\t" + utf8(working_folder()) + "\n";
    std::wstring record = own_folder() + L"\\biftool-record.txt";
    HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 3;
}
