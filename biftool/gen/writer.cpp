#include "writer.h"

#include <zlib.h>

#include <algorithm>

#include "text_util.h"
#include "records.h"

namespace bif::gen {

namespace {
void append(Bytes& b, const void* p, std::size_t n)
{
    auto* c = static_cast<const unsigned char*>(p);
    b.insert(b.end(), c, c + n);
}
void append32(Bytes& b, u32 v)
{
    unsigned char t[4];
    put32(t, v);
    append(b, t, 4);
}
void append16(Bytes& b, u16 v)
{
    unsigned char t[2];
    put16(t, v);
    append(b, t, 2);
}
Bytes deflate_all(const unsigned char* p, std::size_t n)
{
    uLongf cap = compressBound(static_cast<uLong>(n));
    Bytes out(cap);
    if (compress2(out.data(), &cap, p, static_cast<uLong>(n), 9) != Z_OK)
        throw Error("zlib: compression failed");
    out.resize(cap);
    return out;
}
} // namespace

namespace {

// Where a BIFF's data and table go: the data in plan order, the table where the plan puts it.
struct BiffLayout {
    std::vector<const Bytes*> blobs;
    std::vector<u64> offsets;
    u64 table_off = 0, size = biff_header_size;
};

BiffLayout lay_out(const BiffPlan& plan)
{
    BiffLayout l;
    for (const auto& f : plan.files)
        l.blobs.push_back(&f.data);
    for (const auto& t : plan.tilesets)
        l.blobs.push_back(&t.data);
    const u64 table_size = plan.files.size() * biff_file_entry_size + plan.tilesets.size() * biff_tileset_entry_size;
    const std::size_t table_before = plan.table == BiffPlan::Table::Front    ? 0
                                     : plan.table == BiffPlan::Table::Middle ? l.blobs.size() / 2
                                                                             : l.blobs.size();
    for (std::size_t i = 0; i <= l.blobs.size(); ++i) {
        if (i == table_before) {
            l.table_off = l.size;
            l.size += table_size;
        }
        if (i == l.blobs.size())
            break;
        l.offsets.push_back(l.size);
        l.size += l.blobs[i]->size();
    }
    return l;
}

} // namespace

Bytes build_biff(const BiffPlan& plan)
{
    const BiffLayout l = lay_out(plan);
    Bytes out(l.size, 0);
    std::memcpy(out.data(), "BIFFV1  ", 8);
    put32(out.data() + 8, static_cast<u32>(plan.files.size()));
    put32(out.data() + 12, static_cast<u32>(plan.tilesets.size()));
    put32(out.data() + 16, static_cast<u32>(l.table_off));
    unsigned char* e = out.data() + l.table_off;
    std::size_t i = 0;
    for (const auto& f : plan.files) {
        put32(e, f.locator);
        put32(e + 4, static_cast<u32>(l.offsets[i++]));
        put32(e + 8, static_cast<u32>(f.data.size()));
        put16(e + 12, f.type);
        e += biff_file_entry_size;
    }
    for (const auto& t : plan.tilesets) {
        put32(e, t.locator);
        put32(e + 4, static_cast<u32>(l.offsets[i++]));
        put32(e + 8, t.tile_size ? static_cast<u32>(t.data.size() / t.tile_size) : 0);
        put32(e + 12, t.tile_size);
        put16(e + 16, t.type);
        e += biff_tileset_entry_size;
    }
    for (i = 0; i < l.blobs.size(); ++i)
        if (!l.blobs[i]->empty())
            std::memcpy(out.data() + l.offsets[i], l.blobs[i]->data(), l.blobs[i]->size());
    return out;
}

Bytes compress_bif_v10(const Bytes& biff, const std::string& name)
{
    Bytes z = deflate_all(biff.data(), biff.size());
    Bytes out;
    append(out, "BIF V1.0", 8);
    append32(out, static_cast<u32>(name.size() + 1));
    append(out, name.c_str(), name.size() + 1);
    append32(out, static_cast<u32>(biff.size()));
    append32(out, static_cast<u32>(z.size()));
    append(out, z.data(), z.size());
    return out;
}

Bytes compress_bifc(const Bytes& biff, std::size_t block_size)
{
    Bytes out;
    append(out, "BIFCV1.0", 8);
    append32(out, static_cast<u32>(biff.size()));
    for (std::size_t off = 0; off < biff.size(); off += block_size) {
        std::size_t n = std::min(block_size, biff.size() - off);
        Bytes z = deflate_all(biff.data() + off, n);
        append32(out, static_cast<u32>(n));
        append32(out, static_cast<u32>(z.size()));
        append(out, z.data(), z.size());
    }
    return out;
}

Bytes build_key(const KeyPlan& plan)
{
    const u32 nb = static_cast<u32>(plan.bifs.size()), nr = static_cast<u32>(plan.resources.size());
    Bytes out;
    append(out, "KEY V1  ", 8);
    append32(out, nb);
    append32(out, nr);
    const u32 bif_off = key_header_size;
    u32 names_off = bif_off + nb * static_cast<u32>(key_bif_entry_size);
    u32 names_size = 0;
    for (const auto& b : plan.bifs)
        names_size += static_cast<u32>(b.name.size() + 1);
    const u32 res_off = names_off + names_size;
    append32(out, bif_off);
    append32(out, res_off);
    u32 name_pos = names_off;
    for (const auto& b : plan.bifs) {
        append32(out, b.length);
        append32(out, name_pos);
        append16(out, static_cast<u16>(b.name.size() + 1));
        append16(out, b.flags);
        name_pos += static_cast<u32>(b.name.size() + 1);
    }
    for (const auto& b : plan.bifs)
        append(out, b.name.c_str(), b.name.size() + 1);
    for (const auto& r : plan.resources) {
        char ref[8] = {};
        std::memcpy(ref, r.resref.data(), std::min<std::size_t>(8, r.resref.size()));
        append(out, ref, 8);
        append16(out, r.type);
        append32(out, r.locator);
    }
    return out;
}

void write_file(const std::filesystem::path& p, const Bytes& data)
{
    text_util::File f(p, "wb");
    if (!f.ok())
        throw Error(text_util::to_utf8(p) + ": cannot create: " + text_util::last_error());
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
    if (!f.close() || !ok)
        throw Error(text_util::to_utf8(p) + ": cannot write: " + text_util::last_error());
}

StreamingBiff::StreamingBiff(const std::filesystem::path& p) : f_(p, "wb"), name_(text_util::to_utf8(p))
{
    if (!f_.ok())
        throw Error(name_ + ": cannot create: " + text_util::last_error());
    unsigned char h[biff_header_size] = {};
    put(h, sizeof h);
}

void StreamingBiff::put(const void* p, std::size_t n)
{
    if (n && std::fwrite(p, 1, n, f_.get()) != n)
        throw Error(name_ + ": cannot write: " + text_util::last_error());
    pos_ += n;
}

void StreamingBiff::add_file(u32 locator, u16 type, const unsigned char* data, std::size_t n)
{
    if (pos_ + n > 0xFFFFFFFFull)
        throw Error(name_ + ": a BIFF cannot exceed 4 GiB");
    unsigned char e[biff_file_entry_size] = {};
    put32(e, locator);
    put32(e + 4, static_cast<u32>(pos_));
    put32(e + 8, static_cast<u32>(n));
    put16(e + 12, type);
    table_.insert(table_.end(), e, e + sizeof e);
    ++count_;
    put(data, n);
}

void StreamingBiff::finish()
{
    u32 table_off = static_cast<u32>(pos_);
    put(table_.data(), table_.size());
    unsigned char h[biff_header_size];
    std::memcpy(h, "BIFFV1  ", 8);
    put32(h + 8, count_);
    put32(h + 12, 0);
    put32(h + 16, table_off);
    bool ok = f_.seek(0) && std::fwrite(h, 1, sizeof h, f_.get()) == sizeof h;
    if (!f_.close() || !ok)
        throw Error(name_ + ": cannot write: " + text_util::last_error());
}

} // namespace bif::gen
