#pragma once
#include <string>

namespace platform::win32 {

// True for the addresses the program may hand to the shell: web and mail ones, never a file or program.
bool is_web_address(const std::string& address);

// Opens a web address with the user's browser; fails where the shell cannot.
void open_address(const std::string& address);

} // namespace platform::win32
