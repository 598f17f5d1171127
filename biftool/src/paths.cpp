#include "paths.h"

namespace bif::paths {

namespace {
#ifdef _WIN32
constexpr const char* path_separators = "/\\:";
constexpr char path_separator = '\\';
#else
constexpr const char* path_separators = "/";
constexpr char path_separator = '/';
#endif
} // namespace

std::string folder_of(const std::string& path)
{
    auto p = path.find_last_of(path_separators);
    if (p == std::string::npos)
        return {};
    // The root ("/", "C:\") or a drive's current folder ("C:") keeps its separator.
    bool root = p == 0 || (p > 0 && path[p - 1] == ':') || path[p] == ':';
    return path.substr(0, root ? p + 1 : p);
}

std::string name_of(const std::string& path)
{
    auto p = path.find_last_of(path_separators);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    char last = folder.back();
    bool ends = std::string(path_separators).find(last) != std::string::npos;
    return ends ? folder + name : folder + path_separator + name;
}

} // namespace bif::paths
