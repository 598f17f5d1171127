#pragma once
// UTF-8 inside, UTF-16 at the Win32 calls.
#include <string>

namespace e2e {

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& text);

} // namespace e2e
