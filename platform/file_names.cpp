#include "file_names.h"

#include <algorithm>

namespace platform {
namespace {

// Bytes compare unsigned, so UTF-8 letters sort after ASCII ones.
unsigned char fold(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool matches_pattern(std::string_view name, std::string_view pattern)
{
    // Iterative wildcard match with one backtrack point: linear in practice, no recursion.
    std::size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool name_less(std::string_view a, std::string_view b)
{
    const std::string fa = folded(a), fb = folded(b);
    return fa != fb ? fa < fb : a < b;
}

std::string folded(std::string_view name)
{
    std::string result(name);
    for (char& c : result)
        c = static_cast<char>(fold(c));
    return result;
}

} // namespace platform
