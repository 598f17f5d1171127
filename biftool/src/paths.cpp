#include "paths.h"

namespace bif::paths {

namespace {
#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
constexpr char kSeparator = '\\';
#else
constexpr const char* kSeparators = "/";
constexpr char kSeparator = '/';
#endif
} // namespace

std::string folder_of(const std::string& path)
{
    auto p = path.find_last_of(kSeparators);
    if (p == std::string::npos)
        return {};
    // The root ("/", "C:\") or a drive's current folder ("C:") keeps its separator.
    bool root = p == 0 || (p > 0 && path[p - 1] == ':') || path[p] == ':';
    return path.substr(0, root ? p + 1 : p);
}

std::string name_of(const std::string& path)
{
    auto p = path.find_last_of(kSeparators);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    char last = folder.back();
    bool ends = std::string(kSeparators).find(last) != std::string::npos;
    return ends ? folder + name : folder + kSeparator + name;
}

} // namespace bif::paths
