#include "locate.h"

#include <vector>

#include "text_util.h"
#include "input_file.h"
#include "paths.h"

namespace bif {

namespace {

std::vector<std::string> components(std::string_view entry)
{
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= entry.size()) {
        std::size_t j = entry.find_first_of("\\/:", i);
        if (j == std::string_view::npos)
            j = entry.size();
        if (j > i)
            parts.emplace_back(entry.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

// `folders` followed from `root`, then the archive (or its .cbf) in the folder reached.
std::string follow(const std::string& root, const std::vector<std::string>& folders, const std::string& file)
{
    std::string dir = root;
    for (const std::string& f : folders) {
        if (f == "." || f == "..")
            return {};
        dir = find_folder_nocase(dir, f);
        if (dir.empty())
            return {};
    }
    std::string found = find_file_nocase(dir, file);
    if (found.empty() && file.size() > 4 && text_util::iequals(file.substr(file.size() - 4), ".bif"))
        found = find_file_nocase(dir, file.substr(0, file.size() - 4) + ".cbf");
    return found;
}

} // namespace

std::optional<std::string> locate_archive(const std::string& index_folder, std::string_view entry_name)
{
    std::vector<std::string> folders = components(entry_name);
    if (folders.empty())
        return std::nullopt;
    const std::string file = folders.back();
    folders.pop_back();
    if (std::string p = follow(index_folder, folders, file); !p.empty())
        return p;
    std::vector<std::string> roots;
    if (std::string c = find_folder_nocase(index_folder, "cache"); !c.empty())
        roots.push_back(c);
    for (char n = '1'; n <= '9'; ++n)
        if (std::string cd = find_folder_nocase(index_folder, std::string("CD") + n); !cd.empty())
            roots.push_back(cd);
    if (std::string lang = find_folder_nocase(index_folder, "lang"); !lang.empty())
        for (const std::string& l : folders_in(lang))
            roots.push_back(paths::join(lang, l));
    for (const std::string& root : roots)
        for (const std::vector<std::string>& way :
             {folders, std::vector<std::string>{"data"}, std::vector<std::string>{}})
            if (std::string p = follow(root, way, file); !p.empty())
                return p;
    return std::nullopt;
}

std::string game_index(const std::optional<std::string>& named)
{
    if (named)
        return *named;
    const std::string here = absolute_path(".");
    for (const std::string& dir : {here, paths::folder_of(here)})
        for (const char* name : {"chitin.key", "mod.key"})
            if (std::string found = find_file_nocase(dir, name); !found.empty())
                return found;
    return {};
}

} // namespace bif
