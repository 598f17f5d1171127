#pragma once
#include <string>

namespace win32_base {

// The system's own words for an error code (GetLastError), without the trailing line break and
// full stop; empty where it has none.
std::string system_message(unsigned long code);

} // namespace win32_base
