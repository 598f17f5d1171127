#pragma once
// Resource types and output file names: the extension table of the Infinity Engine games, the
// sanitising of names taken from the index, and the plan that gives each archive entry one file
// name, unique in the output folder even on a case-insensitive file system.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive.h"
#include "common.h"
#include "key.h"

namespace bif {

// "2DA" for 0x03F4; nullptr for a code the table does not know.
const char* known_extension(u16 type);
// Known extension, or one made from the hex code ("0x1234").
std::string extension(u16 type);

// Makes a name from the index safe as one file-name component on Windows and elsewhere: control
// characters, path separators, drive colons, wildcards and non-ASCII bytes become '_', leading
// dots and blanks become '_', and a reserved device name (CON, NUL, COM1, ...) gets a '_' after
// it. Returns "" when nothing usable is left.
std::string sanitize_stem(const std::string& raw);
bool is_reserved_device(const std::string& stem);

// The folder an archive extracts into: its file name without the extension, made safe as above
// (".", "..", "CON", trailing dots or blanks cannot name it; empty becomes "_") but keeping the
// letters beyond ASCII that the file system took in the archive's own name.
std::string output_folder_name(const std::string& archive_file_name);

// The name of a resource the index does not name: "LOC" and the locator's 20 low bits in hex.
std::string locator_stem(u32 locator);

// The files an archive's entries become: one for each name the index gives an entry, with the
// extension of the index's type (the game looks resources up by it), or one named after the
// entry's locator when the index names it not at all. Index entries find their archive entry by
// locator: a TIS entry a tileset by (locator >> 14) & 0x3F, any other a file by locator & 0x3FFF.
// For a name and type the index repeats, the last one that points at something wins (it leaves the
// earlier ones' entries without that name). A name taken already (ignoring case) is numbered:
// "NAME~2.EXT". Names are made when asked for: a number per file is kept, and the few stems the
// index gives, so that memory follows the archive's table even for a million entries.
// The index arranged for naming many archives: its resources by archive, and every name and type it
// gives more than once with all its resources, in index order.
class IndexNames {
public:
    explicit IndexNames(const Key& key);
    const Key& key() const { return *key_; }
    // The resources of these BIF entries, in index order.
    std::vector<KeyResource> of_bifs(const std::vector<u32>& bifs) const;
    // Null when the name and type are given once.
    const std::vector<KeyResource>* repeats(const char* resref, u16 type) const;

private:
    const Key* key_;
    std::vector<std::vector<KeyResource>> by_bif_;
    std::unordered_map<std::string, std::vector<KeyResource>> repeats_;
};

class Plan {
public:
    // `key` may be null (no index found): every entry is then named by its locator. `bifs` are the
    // archive's BIF entries in the index. `index`, the same key arranged once for many archives, is
    // made here when not given.
    Plan(const Archive& archive, const Key* key, const std::vector<u32>& bifs, const IndexNames* index = nullptr);
    // The number of files, at least one per archive entry, in the archive's table order.
    std::size_t size() const { return files_.size(); }
    // The archive entry (of Archive::entries()) file i holds.
    std::size_t entry(std::size_t file) const { return files_[file].entry; }
    // The type it goes by: the index's, or the archive's when the index does not name it.
    u16 type(std::size_t file) const;
    // "AR0100.ARE"
    std::string file_name(std::size_t file) const;

private:
    struct File {
        u32 entry;
        u32 number; // the "~N" of its name; 0 when none
    };
    struct Name {
        std::string stem; // sanitised
        u16 type;
    };
    std::string stem(std::size_t file) const;
    std::string ext(std::size_t file) const;
    const Archive* archive_;
    std::vector<File> files_;
    std::unordered_map<std::size_t, Name> names_; // by file: the names from the index
};

inline Plan plan_names(const Archive& archive, const Key* key, const std::vector<u32>& bifs)
{
    return Plan(archive, key, bifs);
}

} // namespace bif
