#include "process_start.h"

#include "handles.h"
#include "platform/failure.h"
#include "system_error.h"
#include "text.h"

namespace platform::win32 {
namespace {

// The program named at the head of a command line, without its quotes.
std::wstring head_of(const std::wstring& line)
{
    if (!line.empty() && line.front() == L'"')
        return line.substr(1, line.find(L'"', 1) - 1);
    return line.substr(0, line.find_first_of(L" \t"));
}

// A bare program name would be looked for in the program's own folder first, which holds the
// game's files: such a name is taken from the system folder only. Empty for a path.
std::wstring system_program(const std::wstring& head)
{
    if (head.find_first_of(L"\\/:") != std::wstring::npos)
        return {};
    wchar_t system_folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        throw Failure(system_error_text(GetLastError()));
    wchar_t found[MAX_PATH];
    const DWORD found_length = SearchPathW(system_folder, head.c_str(), L".exe", MAX_PATH, found, nullptr);
    if (found_length == 0 || found_length >= MAX_PATH)
        throw Failure(system_error_text(ERROR_FILE_NOT_FOUND));
    return found;
}

} // namespace

void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder)
{
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    std::wstring line = widen(command_line);
    line.push_back(L'\0');
    const std::wstring folder = widen(working_folder);
    const std::wstring program = system_program(head_of(line));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(mode);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        throw Failure(system_error_text(GetLastError()));
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
}

} // namespace platform::win32
