#include "archive.h"

#include <algorithm>

#include "records.h"

namespace bif {

static std::string printable(const unsigned char* p, std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += (p[i] >= 0x20 && p[i] < 0x7F) ? static_cast<char>(p[i]) : '?';
    return s;
}

Archive::Archive(Source& file) : file_(file)
{
    const std::string& n = file.name();
    u64 size = file.size();
    if (size < 8)
        throw Error(n + ": not a BIF archive: only " + std::to_string(size) + " bytes");
    unsigned char sig[8];
    file.read(0, sig, 8);
    if (std::memcmp(sig, "BIFFV1  ", 8) == 0) {
        format_ = "BIFF V1";
        data_ = &file_;
    } else if (std::memcmp(sig, "BIF V1.0", 8) == 0) {
        format_ = "BIF V1.0 (zlib)";
        if (size < bif_v10_header_size)
            throw Error(n + ": truncated: the BIF V1.0 header is cut short");
        unsigned char b[4];
        file.read(8, b, 4);
        u64 name_len = le32(b);
        if (name_len > size - bif_v10_header_size || size - bif_v10_header_size - name_len < bif_v10_sizes_size)
            throw Error(n + ": truncated or corrupt: the BIF V1.0 header declares a " + std::to_string(name_len) +
                        "-byte name that does not fit in the file's " + std::to_string(size) + " bytes");
        unsigned char l[8];
        file.read(bif_v10_header_size + name_len, l, bif_v10_sizes_size);
        u64 ulen = le32(l), clen = le32(l + 4);
        u64 data_off = bif_v10_header_size + name_len + bif_v10_sizes_size;
        if (clen > size - data_off)
            throw Error(n + ": truncated: it declares " + std::to_string(clen) + " compressed bytes at byte " +
                        std::to_string(data_off) + " but the file has only " + std::to_string(size));
        inflater_ = InflateSource::single(file, data_off, clen, ulen);
        data_ = inflater_.get();
    } else if (std::memcmp(sig, "BIFCV1.0", 8) == 0) {
        format_ = "BIFC V1.0 (zlib blocks)";
        if (size < bifc_header_size)
            throw Error(n + ": truncated: the BIFC V1.0 header is cut short");
        unsigned char b[4];
        file.read(8, b, 4);
        inflater_ = InflateSource::blocks(file, bifc_header_size, le32(b));
        data_ = inflater_.get();
    } else {
        throw Error(n + ": not a BIF archive: it starts with \"" + printable(sig, 8) +
                    "\" (expected \"BIFFV1  \", \"BIF V1.0\" or \"BIFCV1.0\")");
    }
    read_biff();
}

void Archive::read_biff()
{
    Source& d = *data_;
    const std::string& n = name();
    std::string inner = data_ == &file_ ? "" : "the compressed ";
    u64 size = d.size();
    if (size < biff_header_size)
        throw Error(n + ": truncated: " + inner + "BIFF has " + std::to_string(size) +
                    " bytes, less than its 20-byte header");
    unsigned char h[biff_header_size];
    d.read(0, h, biff_header_size);
    if (std::memcmp(h, "BIFFV1  ", 8) != 0)
        throw Error(n + ": corrupt: " + (inner.empty() ? std::string("it") : std::string("its compressed data")) +
                    " does not start with \"BIFFV1  \" but \"" + printable(h, 8) + "\"");
    u64 nfiles = le32(h + 8), ntiles = le32(h + 12), off = le32(h + 16);
    if (nfiles + ntiles > max_entries)
        throw Error(n + ": corrupt: it declares " + std::to_string(nfiles) + " file and " + std::to_string(ntiles) +
                    " tileset entries, more than the " + std::to_string(max_entries) + " any archive can use");
    u64 table = nfiles * biff_file_entry_size + ntiles * biff_tileset_entry_size;
    if (off > size || table > size - off)
        throw Error(n + ": truncated or corrupt: its entry table (" + std::to_string(nfiles) + " files, " +
                    std::to_string(ntiles) + " tilesets at byte " + std::to_string(off) + ", " + std::to_string(table) +
                    " bytes) does not fit in its " + std::to_string(size) + " bytes");
    files_ = static_cast<u32>(nfiles);
    tilesets_ = static_cast<u32>(ntiles);
    // A plain archive's table is there on disk; a compressed one's is only declared until inflated.
    entries_.reserve(
        static_cast<std::size_t>(data_ == &file_ ? nfiles + ntiles : std::min<u64>(nfiles + ntiles, 65536)));
    read_table(off, nfiles, false);
    read_table(off + nfiles * biff_file_entry_size, ntiles, true);
    if (inflater_)
        inflater_->limit_inflation(inflation_needed());
}

// Extraction reads the data once, forward, up to the end of the last entry; a resource whose
// read failed leaves what shares its data to be read again on its own. Anything beyond that comes
// from reads sent back and forth.
u64 Archive::inflation_needed() const
{
    u64 reach = 0, again = 0;
    for (const Entry& e : entries_)
        if (!e.damaged) {
            reach = std::max(reach, e.offset + e.size());
            again += e.size();
        }
    return reach + again + (u64{16} << 20);
}

// Reads `count` entries of one kind in chunks and checks each against the data it points into.
void Archive::read_table(u64 start, u64 count, bool tileset)
{
    const u64 esize = tileset ? biff_tileset_entry_size : biff_file_entry_size, size = data_->size();
    std::vector<unsigned char> buf(64 * 1024);
    const u64 per = buf.size() / esize;
    for (u64 first = 0; first < count; first += per) {
        u64 k = std::min(per, count - first);
        data_->read(start + first * esize, buf.data(), static_cast<std::size_t>(k * esize));
        for (const unsigned char* p = buf.data(); p < buf.data() + k * esize; p += esize) {
            Entry e;
            e.locator = le32(p);
            e.offset = le32(p + 4);
            e.tileset = tileset;
            e.length = le32(p + 8);
            if (tileset)
                e.tile_size = le32(p + 12);
            e.type = le16(p + (tileset ? 16 : 12));
            e.damaged = e.offset > size || e.size() > size - e.offset;
            entries_.push_back(e);
        }
    }
}

std::string Archive::problem(const Entry& e) const
{
    if (!e.damaged)
        return {};
    return name() + ": truncated or corrupt: resource " + (e.tileset ? "(tileset) " : "") + "with locator " +
           std::to_string(e.locator) + " claims bytes " + std::to_string(e.offset) + " to " +
           std::to_string(e.offset + e.size()) + " but the " + (data_ == &file_ ? "" : "uncompressed ") +
           "archive has " + std::to_string(data_->size());
}

void Archive::tis_header(const Entry& e, unsigned char out[tis_header_size])
{
    std::memcpy(out, "TIS V1  ", 8);
    put32(out + 8, e.tiles());
    put32(out + 12, e.tile_size);
    put32(out + 16, 0x18);
    put32(out + 20, 64);
}

} // namespace bif
