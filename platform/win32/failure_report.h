#pragma once
#include <string>
#include <string_view>

namespace platform::win32 {

// What the default report says about a failure no handler trapped.
std::string failure_text(std::string_view title, std::string_view what);

} // namespace platform::win32
