#pragma once
#include <string>

namespace platform::win32 {

// A standard OK box over the active window.
void message_box(const std::string& text, const std::string& title);

} // namespace platform::win32
