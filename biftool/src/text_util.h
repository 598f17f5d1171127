#pragma once
// Small text helpers of the tool: ASCII case, the text of the last C runtime error.
#include <string>
#include <string_view>

#include "common.h"

namespace bif::text_util {

// Text of the last C runtime error (errno).
std::string last_error();

bool iequals(std::string_view a, std::string_view b);
std::string lower(std::string s);
std::string upper(std::string s);

} // namespace bif::text_util
