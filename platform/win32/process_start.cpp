#include "process_start.h"

#include "handles.h"
#include "path_forms.h"
#include "platform/failure.h"
#include "system_error.h"
#include "text.h"

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

std::wstring within_limit(const std::wstring& path)
{
    if (fits_old_limit(path))
        return path;
    const std::wstring short_form = short_path(path);
    if (short_form.empty() || !fits_old_limit(short_form))
        throw Failure(system_error_text(ERROR_FILENAME_EXCED_RANGE));
    return short_form;
}

std::wstring with_program_within_limit(std::wstring command_line)
{
    const Span head = head_span(command_line);
    const std::wstring program = command_line.substr(head.start, head.length);
    return command_line.replace(head.start, program.size(), within_limit(program));
}

void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder)
{
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    std::wstring line = with_program_within_limit(widen(command_line));
    line.push_back(L'\0');
    const std::wstring folder = working_folder.empty() ? std::wstring() : within_limit(widen(working_folder));
    const std::wstring program = system_program(head_of(line));

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
