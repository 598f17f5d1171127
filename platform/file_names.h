#pragma once
#include <string_view>

namespace platform {

// Matches a long file name against a pattern of '*' and '?' wildcards, ignoring the case of
// ASCII letters. Only the long name counts: a short 8.3 alias never makes a name match.
bool matches_pattern(std::string_view name, std::string_view pattern);

// The order of a sorted list box: ignoring the case of ASCII letters, then by bytes.
bool name_less(std::string_view a, std::string_view b);

} // namespace platform
