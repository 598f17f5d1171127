#include "platform/win32/system/process_start.h"

#include "platform/win32/system/console_host.h"
#include "platform/win32/base.h"
#include "platform/win32/system/path_forms.h"
#include "platform/failure.h"
#include "platform/win32/system/system_error.h"

namespace platform::win32 {
namespace {

struct Span {
    std::size_t start, length;
};

// Where the program named at the head of a command line stands, without its quotes.
Span head_span(const std::wstring& line)
{
    if (!line.empty() && line.front() == L'"')
        return {1, line.find(L'"', 1) - 1};
    return {0, line.find_first_of(L" \t")};
}

std::wstring head_of(const std::wstring& line)
{
    const Span head = head_span(line);
    return line.substr(head.start, head.length);
}

// A program of the system folder by its bare name; empty where there is none.
std::wstring in_system_folder(const std::wstring& name)
{
    wchar_t system_folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        throw Failure(system_error_text(GetLastError()));
    wchar_t found[MAX_PATH];
    const DWORD found_length = SearchPathW(system_folder, name.c_str(), L".exe", MAX_PATH, found, nullptr);
    return found_length == 0 || found_length >= MAX_PATH ? std::wstring() : std::wstring(found);
}

// A bare program name would be looked for in the program's own folder first, which holds the
// game's files: such a name is taken from the system folder only. Empty for a path.
std::wstring system_program(const std::wstring& head)
{
    if (head.find_first_of(L"\\/:") != std::wstring::npos)
        return {};
    std::wstring found = in_system_folder(head);
    if (found.empty())
        throw Failure(system_error_text(ERROR_FILE_NOT_FOUND));
    return found;
}

// Where the system may hand a new console to another terminal, that terminal shows the window
// activated whatever the show mode says; the classic console host started on the command line
// keeps the console itself and shows it as its own start asks. False where this cannot be done,
// with nothing started.
bool started_in_classic_console(const std::wstring& line, WORD show, const std::wstring& folder)
{
    if (!consoles_may_be_handed_over())
        return false;
    const std::wstring host_line = console_host_line(line), host = in_system_folder(L"conhost");
    return !host_line.empty() && !host.empty() && start_through_host(host, host_line, show, folder);
}

} // namespace

std::wstring within_limit(const std::wstring& path)
{
    if (fits_old_limit(path))
        return path;
    // Where the volume keeps no short names the system gives the long path back; the long one is
    // tried then (the manifest declares long paths), and only its start may fail.
    const std::wstring short_form = short_path(path);
    return !short_form.empty() && fits_old_limit(short_form) ? short_form : path;
}

std::wstring with_program_within_limit(std::wstring command_line)
{
    const Span head = head_span(command_line);
    const std::wstring program = command_line.substr(head.start, head.length);
    return command_line.replace(head.start, program.size(), within_limit(program));
}

void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder)
{
    std::wstring line = with_program_within_limit(widen(command_line));
    const std::wstring folder = working_folder.empty() ? std::wstring() : within_limit(widen(working_folder));
    const std::wstring program = system_program(head_of(line));
    // Only a window that must not take the focus needs the classic host; a bare name would be
    // looked for beside the host.
    if (mode == ShowMode::normal_no_activate && program.empty() &&
        started_in_classic_console(line, SW_SHOWNOACTIVATE, folder))
        return;
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(mode);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        throw Failure(system_error_text(GetLastError()));
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
}

} // namespace platform::win32
