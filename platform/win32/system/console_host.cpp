#include "platform/win32/system/console_host.h"

#include "platform/win32/base.h"
#include "platform/win32/system/system_library.h"

namespace platform::win32 {
namespace {

// Long enough for a host on a busy machine to start its program.
constexpr ULONGLONG host_start_ms = 3000;

// How many processes have ever run in the job, the host among them.
DWORD processes_in(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 0;
    return accounting.TotalProcesses;
}

// Where the next argument starts, or npos where the host would write `line` otherwise: each
// argument stands alone, quoted exactly where it holds a blank, one blank between two.
std::size_t after_argument(const std::wstring& line, std::size_t at)
{
    std::size_t end;
    if (line[at] == L'"') {
        end = line.find(L'"', at + 1);
        if (end == std::wstring::npos || line.find(L' ', at) > end || line[end - 1] == L'\\')
            return std::wstring::npos;
        ++end;
    } else {
        end = line.find(L' ', at);
        if (end == at || line.find(L'"', at) < end)
            return std::wstring::npos;
        if (end == std::wstring::npos)
            return line.size();
    }
    if (end == line.size())
        return end;
    return line[end] == L' ' && end + 1 < line.size() ? end + 1 : std::wstring::npos;
}

} // namespace

bool consoles_may_be_handed_over()
{
    using GetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto get_version = system_function<GetVersionFn>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version{sizeof version};
    if (!get_version || get_version(&version) != 0)
        return false;
    return version.dwMajorVersion > 10 || (version.dwMajorVersion == 10 && version.dwBuildNumber >= 19045);
}

std::wstring console_host_line(const std::wstring& line)
{
    if (line.empty() || line.find_first_of(L"%\t") != std::wstring::npos)
        return {};
    for (std::size_t at = 0; at < line.size();)
        if ((at = after_argument(line, at)) == std::wstring::npos)
            return {};
    return L"conhost.exe -- " + line;
}

bool start_through_host(const std::wstring& host, const std::wstring& host_line, WORD show, const std::wstring& folder)
{
    // The job counts the processes the host starts, however soon they end; closing it ends none.
    const UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return false;
    std::wstring line = host_line;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(host.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return false;
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (!AssignProcessToJobObject(job.get(), process.get())) {
        TerminateProcess(process.get(), 1);
        return false;
    }
    ResumeThread(thread.get());
    for (const ULONGLONG end = GetTickCount64() + host_start_ms; GetTickCount64() < end;) {
        const bool host_ended = WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0;
        if (processes_in(job.get()) > 1)
            return true;
        if (host_ended)
            return false;
    }
    TerminateJobObject(job.get(), 1);
    return false;
}

} // namespace platform::win32
