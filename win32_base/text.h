#pragma once
#include <string>
#include <string_view>

namespace win32_base {

// Text is UTF-8 inside the program and UTF-16 at the system's boundary; these are the only
// conversions. Malformed UTF-8 becomes U+FFFD rather than failing.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace win32_base
