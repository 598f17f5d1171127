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

// The file name of every archive entry. Later index entries win: over earlier ones naming the same
// archive entry (matched by locator: files by locator & 0x3FFF, tilesets by (locator >> 14) & 0x3F),
// and over earlier ones with the same name and type elsewhere in the index (which then leave their
// entry unnamed), unless the later one points at nothing. Entries the index does not name go by
// their locator. A name taken already (ignoring case) is numbered: "NAME~2.EXT".
// Names are made when asked for: a number per entry is kept, and the few stems the index gives,
// so that memory follows the archive's table even for a million entries.
// The index arranged for naming many archives: its resources by archive, and the locators of every
// name and type it gives more than once, in index order.
class IndexNames {
public:
    explicit IndexNames(const Key& key);
    const Key& key() const { return *key_; }
    const std::vector<KeyResource>& of_bif(u32 bif) const;
    // Null when the name and type are given once.
    const std::vector<u32>* repeats(const char* resref, u16 type) const;

private:
    const Key* key_;
    std::vector<std::vector<KeyResource>> by_bif_;
    std::unordered_map<std::string, std::vector<u32>> repeats_;
};

class Plan {
public:
    // `key` may be null (no index found): every entry is then named by its locator. `index`, the
    // same key arranged once for many archives, is made here when not given.
    Plan(const Archive& archive, const Key* key, long long bif_index, const IndexNames* index = nullptr);
    std::size_t size() const { return numbers_.size(); }
    // "AR0100.ARE" for entry i of Archive::entries().
    std::string file_name(std::size_t entry) const;
    // The resource's type, which gives its extension.
    u16 type(std::size_t entry) const;

private:
    std::string stem(std::size_t entry) const;
    std::string ext(std::size_t entry) const;
    const Archive* archive_;
    std::vector<u32> numbers_;                           // the "~N" of each name; 0 when none
    std::unordered_map<std::size_t, std::string> stems_; // by entry: the sanitised names from the index
};

inline Plan plan_names(const Archive& archive, const Key* key, long long bif_index)
{
    return Plan(archive, key, bif_index);
}

} // namespace bif
