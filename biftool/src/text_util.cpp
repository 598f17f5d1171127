#include "text_util.h"

#include <cerrno>
#include <system_error>

namespace bif::text_util {

std::string last_error()
{
    int e = errno;
    return std::generic_category().message(e);
}

static char lower_c(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
static char upper_c(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool iequals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower_c(a[i]) != lower_c(b[i]))
            return false;
    return true;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = lower_c(c);
    return s;
}
std::string upper(std::string s)
{
    for (char& c : s)
        c = upper_c(c);
    return s;
}

} // namespace bif::text_util
