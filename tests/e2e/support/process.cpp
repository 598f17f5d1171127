#include "support/process.h"

#include "support/text.h"

#include <stdexcept>

namespace e2e {

Process::Process(const std::string& program, const std::string& arguments, const std::string& working_folder)
{
    std::wstring command = L"\"" + wide(program) + L"\"";
    if (!arguments.empty()) command += L" " + wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(wide(program).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        wide(working_folder).c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
}

Process::~Process()
{
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Process::running() const
{
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::wait_idle(DWORD timeout_ms) const
{
    WaitForInputIdle(info_.hProcess, timeout_ms);
}

} // namespace e2e
