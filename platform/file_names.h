#pragma once
#include <string>
#include <string_view>

namespace platform {

// Matches a long file name against a pattern of '*' and '?' wildcards, ignoring the case of
// ASCII letters. Only the long name counts: a short 8.3 alias never makes a name match.
bool matches_pattern(std::string_view name, std::string_view pattern);

// The order of a sorted list box: ignoring the case of ASCII letters, then by bytes.
bool name_less(std::string_view a, std::string_view b);
// The name with its ASCII letters in lower case: names in the order of their folded forms, and
// of their bytes where those are equal, are in name_less's order.
std::string folded(std::string_view name);

} // namespace platform
