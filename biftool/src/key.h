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

    // Reads the index; throws an Error naming the file when it is not a usable KEY V1.
    explicit Key(Source& src);

    u32 bif_count() const { return bif_count_; }
    u32 resource_count() const { return res_count_; }

    // A real entry name is a short relative path; a longer one matches no archive.
    static constexpr u64 max_name = 1024;
    // File name of BIF entry i as stored (up to the NUL); checks it lies in the file.
    std::string_view bif_name(u32 i) const;
    // Index of the BIF entry naming this archive, or -1. Compares the last path component of each
    // entry (separators '\\', '/', ':') ignoring ASCII case; "x.cbf" on disk matches "x.bif".
    long long find_bif(const std::string& archive_file_name) const;
    // Calls fn for every resource entry in table order.
    void for_each_resource(const std::function<void(const KeyResource&)>& fn) const;

    // The last component of an entry name ("data\\AREA000A.bif" -> "AREA000A.bif").
    static std::string_view base_name(std::string_view entry_name);
    static bool names_match(std::string_view entry_name, std::string_view archive_file_name);

private:
    std::string name_;
    std::vector<unsigned char> data_;
    u32 bif_count_ = 0, res_count_ = 0;
    u64 bif_off_ = 0, res_off_ = 0;
};

} // namespace bif
