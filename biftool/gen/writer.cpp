#include "writer.h"

#include <zlib.h>

#include <algorithm>

#include "fsutil.h"

namespace bif::gen {

namespace {
void append(Bytes& b, const void* p, std::size_t n) {
  auto* c = static_cast<const unsigned char*>(p);
  b.insert(b.end(), c, c + n);
}
void append32(Bytes& b, u32 v) {
  unsigned char t[4];
  put32(t, v);
  append(b, t, 4);
}
void append16(Bytes& b, u16 v) {
  unsigned char t[2];
  put16(t, v);
  append(b, t, 2);
}
Bytes deflate_all(const unsigned char* p, std::size_t n) {
  uLongf cap = compressBound(static_cast<uLong>(n));
  Bytes out(cap);
  if (compress2(out.data(), &cap, p, static_cast<uLong>(n), 9) != Z_OK) throw Error("zlib: compression failed");
  out.resize(cap);
  return out;
}
}  // namespace

Bytes build_biff(const BiffPlan& plan) {
  const u32 nf = static_cast<u32>(plan.files.size()), nt = static_cast<u32>(plan.tilesets.size());
  const u32 table_size = nf * 16 + nt * 20;
  // Lay out the data, leaving room for the table where it goes.
  std::vector<u64> offsets;
  u64 pos = 20;
  u64 table_off = 0;
  if (plan.table == BiffPlan::Table::Front) {
    table_off = pos;
    pos += table_size;
  }
  std::vector<const Bytes*> blobs;
  for (const auto& f : plan.files) blobs.push_back(&f.data);
  for (const auto& t : plan.tilesets) blobs.push_back(&t.data);
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    if (plan.table == BiffPlan::Table::Middle && i == blobs.size() / 2) {
      table_off = pos;
      pos += table_size;
    }
    offsets.push_back(pos);
    pos += blobs[i]->size();
  }
  if (plan.table == BiffPlan::Table::End || (plan.table == BiffPlan::Table::Middle && blobs.empty())) {
    table_off = pos;
    pos += table_size;
  }
  Bytes out(pos, 0);
  std::memcpy(out.data(), "BIFFV1  ", 8);
  put32(out.data() + 8, nf);
  put32(out.data() + 12, nt);
  put32(out.data() + 16, static_cast<u32>(table_off));
  unsigned char* e = out.data() + table_off;
  for (u32 i = 0; i < nf; ++i, e += 16) {
    const auto& f = plan.files[i];
    put32(e, f.locator);
    put32(e + 4, static_cast<u32>(offsets[i]));
    put32(e + 8, static_cast<u32>(f.data.size()));
    put16(e + 12, f.type);
    put16(e + 14, 0);
  }
  for (u32 i = 0; i < nt; ++i, e += 20) {
    const auto& t = plan.tilesets[i];
    put32(e, t.locator);
    put32(e + 4, static_cast<u32>(offsets[nf + i]));
    put32(e + 8, t.tile_size ? static_cast<u32>(t.data.size() / t.tile_size) : 0);
    put32(e + 12, t.tile_size);
    put16(e + 16, t.type);
    put16(e + 18, 0);
  }
  for (std::size_t i = 0; i < blobs.size(); ++i)
    if (!blobs[i]->empty()) std::memcpy(out.data() + offsets[i], blobs[i]->data(), blobs[i]->size());
  return out;
}

Bytes compress_bif_v10(const Bytes& biff, const std::string& name) {
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

Bytes compress_bifc(const Bytes& biff, std::size_t block_size) {
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

Bytes build_key(const KeyPlan& plan) {
  const u32 nb = static_cast<u32>(plan.bifs.size()), nr = static_cast<u32>(plan.resources.size());
  Bytes out;
  append(out, "KEY V1  ", 8);
  append32(out, nb);
  append32(out, nr);
  const u32 bif_off = 24;
  u32 names_off = bif_off + nb * 12;
  u32 names_size = 0;
  for (const auto& b : plan.bifs) names_size += static_cast<u32>(b.name.size() + 1);
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
  for (const auto& b : plan.bifs) append(out, b.name.c_str(), b.name.size() + 1);
  for (const auto& r : plan.resources) {
    char ref[8] = {};
    std::memcpy(ref, r.resref.data(), std::min<std::size_t>(8, r.resref.size()));
    append(out, ref, 8);
    append16(out, r.type);
    append32(out, r.locator);
  }
  return out;
}

void write_file(const std::filesystem::path& p, const Bytes& data) {
  std::FILE* f = fsx::open(p, "wb");
  if (!f) throw Error(fsx::to_utf8(p) + ": cannot create: " + fsx::last_error());
  bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw Error(fsx::to_utf8(p) + ": cannot write: " + fsx::last_error());
}

StreamingBiff::StreamingBiff(const std::filesystem::path& p) : name_(fsx::to_utf8(p)) {
  f_ = fsx::open(p, "wb");
  if (!f_) throw Error(name_ + ": cannot create: " + fsx::last_error());
  unsigned char h[20] = {};
  put(h, 20);
}

StreamingBiff::~StreamingBiff() {
  if (f_) std::fclose(f_);
}

void StreamingBiff::put(const void* p, std::size_t n) {
  if (n && std::fwrite(p, 1, n, f_) != n) throw Error(name_ + ": cannot write: " + fsx::last_error());
  pos_ += n;
}

void StreamingBiff::add_file(u32 locator, u16 type, const unsigned char* data, std::size_t n) {
  if (pos_ + n > 0xFFFFFFFFull) throw Error(name_ + ": a BIFF cannot exceed 4 GiB");
  unsigned char e[16];
  put32(e, locator);
  put32(e + 4, static_cast<u32>(pos_));
  put32(e + 8, static_cast<u32>(n));
  put16(e + 12, type);
  put16(e + 14, 0);
  table_.insert(table_.end(), e, e + 16);
  ++count_;
  put(data, n);
}

void StreamingBiff::finish() {
  u32 table_off = static_cast<u32>(pos_);
  put(table_.data(), table_.size());
  unsigned char h[20];
  std::memcpy(h, "BIFFV1  ", 8);
  put32(h + 8, count_);
  put32(h + 12, 0);
  put32(h + 16, table_off);
  if (!fsx::seek(f_, 0) || std::fwrite(h, 1, 20, f_) != 20) throw Error(name_ + ": cannot write: " + fsx::last_error());
  int rc = std::fclose(f_);
  f_ = nullptr;
  if (rc != 0) throw Error(name_ + ": cannot write: " + fsx::last_error());
}

}  // namespace bif::gen
