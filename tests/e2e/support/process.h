#pragma once
// A started program, ended on destruction if still running.
#include <windows.h>

#include <string>

namespace e2e {

class Process {
public:
    // Starts `program` with `arguments` after its quoted path, in `working_folder`.
    Process(const std::string& program, const std::string& arguments, const std::string& working_folder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    bool running() const;
    // Lets its message loop settle into waiting for input.
    void wait_idle(DWORD timeout_ms) const;

private:
    PROCESS_INFORMATION info_{};
};

} // namespace e2e
