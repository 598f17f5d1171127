#include "filter.h"

#include <cctype>
#include <cstdlib>

#include "text_util.h"
#include "names.h"

namespace bif {

namespace {

bool type_code(const std::string& word, u16& code)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    unsigned long v = std::strtoul(word.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (*end == '\0' && v <= 0xFFFF && std::isdigit(static_cast<unsigned char>(word[0]))) {
        code = static_cast<u16>(v);
        return true;
    }
    for (unsigned c = 0; c <= 0xFFFF; ++c)
        if (const char* ext = known_extension(static_cast<u16>(c)); ext && text_util::iequals(ext, word)) {
            code = static_cast<u16>(c);
            return true;
        }
    return false;
}

char fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

bool Filter::add_types(const std::string& list, std::string& problem)
{
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = list.find(',', start);
        std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        u16 code = 0;
        if (!type_code(word, code)) {
            problem = "unknown resource type \"" + word + "\" (an extension such as 2DA, or a code such as 0x03F4)";
            return false;
        }
        types_.push_back(code);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

bool wildcard_match(std::string_view p, std::string_view t)
{
    // Greedy with one point of return: the last '*' seen.
    std::size_t pi = 0, ti = 0, star = std::string_view::npos, mark = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || fold(p[pi]) == fold(t[ti]))) {
            ++pi, ++ti;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ti;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool Filter::matches(const std::string& file_name, u16 type) const
{
    bool type_ok = types_.empty();
    for (u16 t : types_)
        type_ok = type_ok || t == type;
    if (!type_ok)
        return false;
    if (patterns_.empty())
        return true;
    const std::string_view whole = file_name, stem = whole.substr(0, whole.rfind('.'));
    for (const std::string& p : patterns_)
        if (wildcard_match(p, p.find('.') == std::string::npos ? stem : whole))
            return true;
    return false;
}

} // namespace bif
