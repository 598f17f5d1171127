#pragma once
#include <string>

#include "win32_base/windows_api.h"

namespace platform::win32 {

// True on the Windows versions that may hand a new console to another terminal (Windows 10
// 22H2 and later), which then shows the program's window as it sees fit.
bool consoles_may_be_handed_over();

// The command line that has the classic console host start `line` in a console of its own,
// which it never hands over; empty where the host would not pass `line` on exactly as it
// stands (it splits a line into arguments and joins them again, and expands %names%).
std::wstring console_host_line(const std::wstring& line);

// Starts the console host `host` on `host_line` with the show mode and working folder, and lets
// it go once it has started its program; false, with nothing left running, where the host ends
// without starting it (a system whose host does not take a command line) or takes too long.
bool start_through_host(const std::wstring& host, const std::wstring& host_line, WORD show, const std::wstring& folder);

} // namespace platform::win32
