#pragma once
// Reader of BIF archives: plain "BIFF V1", and the compressed "BIF V1.0" (one zlib stream) and
// "BIFC V1.0" (zlib blocks), which both hold a whole BIFF V1. The entry table may lie anywhere;
// every entry is checked against the data it points into.
#include <memory>
#include <string>
#include <vector>

#include "common.h"
#include "records.h"
#include "source.h"

namespace bif {

constexpr u16 type_tis = 0x03EB;

// 20 bytes, close to the 16 or 20 of the record it comes from: an archive may hold a million.
struct Entry {
    u32 locator = 0;
    u32 offset = 0;
    u32 length = 0;    // a file's bytes; a tileset's tiles
    u32 tile_size = 0; // tileset entries
    u16 type = 0;
    bool tileset = false;
    bool damaged = false; // its data lies (partly) outside the archive; see Archive::problem()

    u32 file_index() const { return locator & 0x3FFF; }
    u32 tileset_index() const { return (locator >> 14) & 0x3F; }
    u32 tiles() const { return tileset ? length : 0; }
    // Bytes of resource data (for a tileset: tiles * tile size).
    u64 size() const { return tileset ? u64{length} * tile_size : length; }
    // Size of the file written for it (a tileset gets a 24-byte TIS header).
    u64 output_size() const { return size() + (tileset ? tis_header_size : 0); }
};

class Archive {
public:
    // At most this many entries are accepted: locators address 16384 files and 63 tilesets, so
    // real archives stay far below; the limit bounds memory for hostile compressed archives.
    static constexpr u64 max_entries = 1u << 20;

    // Detects the format and reads the entry table. `file` must outlive the Archive.
    explicit Archive(Source& file);

    const std::string& name() const { return file_.name(); }
    // "BIFF V1", "BIF V1.0 (zlib)" or "BIFC V1.0 (zlib blocks)".
    const std::string& format() const { return format_; }
    const std::vector<Entry>& entries() const { return entries_; }
    u32 file_count() const { return files_; }
    u32 tileset_count() const { return tilesets_; }
    // The (uncompressed) BIFF the entries point into.
    Source& data() { return *data_; }
    // True when data() inflates: it is then read forward, once, each shared stretch copied.
    bool compressed() const { return data_ != &file_; }
    // The reader of a BIFC's independent blocks, which threads may share out; null otherwise.
    InflateSource* blocks() { return inflater_ && inflater_->blocked() ? inflater_.get() : nullptr; }
    // The reader of a BIF V1.0's one stream; null otherwise.
    InflateSource* stream() { return inflater_ && !inflater_->blocked() ? inflater_.get() : nullptr; }
    std::string problem(const Entry& e) const;

    // Writes the 24-byte TIS header of a tileset entry.
    static void tis_header(const Entry& e, unsigned char out[tis_header_size]);

private:
    void read_biff();
    void read_table(u64 start, u64 count, bool tileset);
    u64 inflation_needed() const;
    Source& file_;
    std::unique_ptr<InflateSource> inflater_;
    Source* data_ = nullptr;
    std::string format_;
    std::vector<Entry> entries_;
    u32 files_ = 0, tilesets_ = 0;
};

} // namespace bif
