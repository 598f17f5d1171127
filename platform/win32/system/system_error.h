#pragma once
#include <string>

namespace platform::win32 {

// The words a failure report shows for a system error code.
std::string system_error_text(unsigned long code);

} // namespace platform::win32
