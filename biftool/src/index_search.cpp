#include "index_search.h"

#include <algorithm>

#include "input_file.h"
#include "paths.h"

namespace bif {

std::vector<std::string> indexes_in(const std::string& folder)
{
    std::vector<std::string> found;
    for (const char* name : {"chitin.key", "mod.key"})
        if (std::string p = find_file_nocase(folder, name); !p.empty())
            found.push_back(p);
    return found;
}

namespace {

// The archive's path from the index's folder when it lies below it, else the whole path.
std::string path_from(const std::string& index_folder, const std::string& archive)
{
    const std::string prefix = paths::join(index_folder, "");
    return archive.size() > prefix.size() && archive.compare(0, prefix.size(), prefix) == 0
               ? archive.substr(prefix.size())
               : archive;
}

// Reads the index at `path` and looks for the archive in it; on failure says why in `why`.
bool try_index(const std::string& path, const std::string& archive, FoundIndex& found, std::string& why)
{
    const std::string name = paths::name_of(archive);
    try {
        FileSource file(path, path);
        auto key = std::make_unique<Key>(file);
        Key::ArchiveMatch m = key->find_archive(path_from(paths::folder_of(path), archive));
        if (!m.bifs.empty()) {
            found.path = path;
            found.key = std::move(key);
            found.bifs = std::move(m.bifs);
            return true;
        }
        why = path + " does not list " + name + (m.damaged.empty() ? "" : " (" + m.damaged + ")");
    } catch (const Error& e) {
        why = e.what();
    }
    return false;
}

} // namespace

FoundIndex find_index(const std::string& archive_path, const std::optional<std::string>& named_index)
{
    const std::string archive = absolute_path(archive_path);
    FoundIndex found;
    std::vector<std::string> failures;
    auto tried = [&](const std::string& index) {
        std::string why;
        if (try_index(index, archive, found, why))
            return true;
        failures.push_back(why);
        return false;
    };
    if (named_index) {
        if (!path_exists(*named_index))
            throw Error(*named_index + ": no such file");
        if (tried(absolute_path(*named_index)))
            return found;
    } else {
        std::vector<std::string> folders;
        for (std::string d = paths::folder_of(archive); folders.empty() || d != folders.back(); d = paths::folder_of(d))
            folders.push_back(d);
        const std::string beside_cwd = paths::folder_of(absolute_path("."));
        if (std::find(folders.begin(), folders.end(), beside_cwd) == folders.end())
            folders.push_back(beside_cwd);
        for (const std::string& d : folders)
            for (const std::string& index : indexes_in(d))
                if (tried(index))
                    return found;
        if (failures.empty()) {
            found.note = "note: no chitin.key or mod.key found in " + paths::folder_of(archive) +
                         " or any folder above it" +
                         (folders.back() == beside_cwd ? " (nor in " + beside_cwd + ")" : std::string()) +
                         "; resources are named after their locators\n";
            return found;
        }
    }
    found.unusable = true;
    found.note = "note: ";
    for (const std::string& why : failures)
        found.note += why + "; ";
    found.note += "resources are named after their locators\n";
    return found;
}

} // namespace bif
