#include "key.h"

#include <algorithm>
#include <vector>

#include "fsutil.h"
#include "records.h"

namespace bif {

Key::Key(Source& src) : name_(src.name()) {
  const std::string& n = name_;
  const u64 size = src.size();
  if (size < kKeyHeaderSize)
    throw Error(n + ": not a game index: " + std::to_string(size) + " bytes, shorter than a KEY header (24)");
  if (size > kMaxSize) throw Error(n + ": not a game index: " + bytes_text(size) + ", far more than any game's");
  data_.resize(static_cast<std::size_t>(size));
  src.read(0, data_.data(), data_.size());
  const unsigned char* h = data_.data();
  if (std::memcmp(h, "KEY V1  ", 8) != 0) throw Error(n + ": not a game index: it does not start with \"KEY V1  \"");
  bif_count_ = le32(h + 8);
  res_count_ = le32(h + 12);
  bif_off_ = le32(h + 16);
  res_off_ = le32(h + 20);
  if (bif_off_ > size || u64{bif_count_} * kKeyBifEntrySize > size - bif_off_)
    throw Error(n + ": corrupt: its " + std::to_string(bif_count_) + " BIF entries at byte " + std::to_string(bif_off_) +
                " do not fit in its " + std::to_string(size) + " bytes");
  if (res_off_ > size || u64{res_count_} * kKeyResourceEntrySize > size - res_off_)
    throw Error(n + ": corrupt: its " + std::to_string(res_count_) + " resource entries at byte " +
                std::to_string(res_off_) + " do not fit in its " + std::to_string(size) + " bytes");
}

std::string Key::bif_name(u32 i) const {
  if (i >= bif_count_) throw Error(name_ + ": no BIF entry " + std::to_string(i));
  const unsigned char* e = data_.data() + bif_off_ + u64{i} * kKeyBifEntrySize;
  u64 off = le32(e + 4);
  u64 len = le16(e + 8);
  if (off > data_.size() || len > data_.size() - off)
    throw Error(name_ + ": corrupt: the name of BIF entry " + std::to_string(i + 1) + " (" + std::to_string(len) +
                " bytes at " + std::to_string(off) + ") lies outside the file");
  // A real entry name is a short relative path; anything longer than kMaxName matches nothing.
  const char* p = reinterpret_cast<const char*>(data_.data() + off);
  std::string s(p, static_cast<std::size_t>(std::min<u64>(len, kMaxName)));
  auto nul = s.find('\0');
  if (nul != std::string::npos)
    s.resize(nul);
  else if (len > kMaxName)
    s += "...";  // marks a name too long to be any file's; it matches nothing
  return s;
}

std::string Key::base_name(const std::string& entry) {
  auto p = entry.find_last_of("\\/:");
  return p == std::string::npos ? entry : entry.substr(p + 1);
}

static std::string strip_ext(const std::string& s, const char* ext) {
  std::size_t n = std::strlen(ext);
  if (s.size() > n && fsx::iequals(s.substr(s.size() - n), ext)) return s.substr(0, s.size() - n);
  return {};
}

bool Key::names_match(const std::string& entry, const std::string& file) {
  std::string b = base_name(entry);
  if (b.empty()) return false;
  if (fsx::iequals(b, file)) return true;
  // The original games keep compressed archives as "x.cbf" on disk while the index says "x.bif".
  std::string fstem = strip_ext(file, ".cbf"), bstem = strip_ext(b, ".bif");
  return !fstem.empty() && !bstem.empty() && fsx::iequals(fstem, bstem);
}

long long Key::find_bif(const std::string& archive_file_name) const {
  for (u32 i = 0; i < bif_count_; ++i) {
    std::string name = bif_name(i);
    if (name.size() > kMaxName) continue;
    if (names_match(name, archive_file_name)) return i;
  }
  return -1;
}

void Key::for_each_resource(const std::function<void(const KeyResource&)>& fn) const {
  const unsigned char* e = data_.data() + res_off_;
  for (u32 i = 0; i < res_count_; ++i, e += kKeyResourceEntrySize) {
    KeyResource r;
    std::memcpy(r.resref, e, 8);
    r.resref[8] = '\0';
    r.type = le16(e + 8);
    r.locator = le32(e + 10);
    r.index = i;
    fn(r);
  }
}

}  // namespace bif
