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
    const bool folded_less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                          [](char x, char y) { return fold(x) < fold(y); });
    if (folded_less)
        return true;
    const bool folded_greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                             [](char x, char y) { return fold(x) < fold(y); });
    return !folded_greater && std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
               return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
           });
}

} // namespace platform
