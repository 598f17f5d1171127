#pragma once
// Reader of the game's index, "chitin.key" (KEY V1). The index is read whole, with one read (a real
// one is a few MiB), after its header has been checked against its size; every table and name is
// checked to lie inside it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common.h"
#include "source.h"

namespace bif {

struct KeyResource {
    char resref[9] = {}; // up to 8 bytes as stored, NUL-terminated
    u16 type = 0;
    u32 locator = 0;
    u32 index = 0; // position in the index's resource table
};

class Key {
public:
    // An index larger than this is refused rather than read into memory.
    static constexpr u64 max_size = u64{256} << 20;

    // Reads the index; throws an Error naming the file when it is not a usable KEY V1 (the 8-byte
    // BIF entries of an early demo's index are recognised and refused as such).
    explicit Key(Source& src);

    u32 bif_count() const { return bif_count_; }
    u32 resource_count() const { return res_count_; }

    // A real entry name is a short relative path; a longer one matches no archive.
    static constexpr u64 max_name = 1024;
    // File name of BIF entry i as stored (up to the NUL); checks it lies in the file.
    std::string_view bif_name(u32 i) const;
    // The BIF entries naming the archive at `path` (relative to the index's folder, or any path
    // when the index lies elsewhere). Paths are compared by their components from the last one
    // back (separators '\\', '/', ':', ASCII case ignored, "x.cbf" on disk for "x.bif"): the entry
    // sharing most of them wins, one that matches whole before one with folders of its own (so
    // "data\\X.bif" names "data/X.bif" and "CD2/data/X.bif" alike, and "CD2\\X.bif" only where
    // no better entry does). Several entries come back only when they name the same path but for
    // case: to the game they are one file.
    struct ArchiveMatch {
        std::vector<u32> bifs;
        std::string damaged; // why a BIF entry whose name lies outside the file could not be compared
    };
    ArchiveMatch find_archive(std::string_view path) const;
    // Calls fn for every resource entry in table order.
    void for_each_resource(const std::function<void(const KeyResource&)>& fn) const;

    // The last component of an entry name ("data\\AREA000A.bif" -> "AREA000A.bif").
    static std::string_view base_name(std::string_view entry_name);
    // Whether the last components of an entry name and a path name one archive.
    static bool names_match(std::string_view entry_name, std::string_view archive_file_name);

private:
    bool names_fit(u64 entry_size, u64 at) const;
    std::string name_;
    std::vector<unsigned char> data_;
    u32 bif_count_ = 0, res_count_ = 0;
    u64 bif_off_ = 0, res_off_ = 0;
};

} // namespace bif
