// libFuzzer target for biftool's readers: every input is tried as an index (chitin.key), as an
// archive (BIFF / BIF V1.0 / BIFC), and split as "u32 index length, index, archive" to drive the
// naming of archive entries through the index. Resource data is read in full, so the
// decompressors are exercised too. Built and run briefly by CMakeLists.txt / run_fuzz.cmake;
// longer: biftool_fuzz -max_total_time=600 -malloc_limit_mb=256 CORPUS_DIR SEED_DIR
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "archive.h"
#include "key.h"
#include "names.h"
#include "source.h"

namespace {

void try_input(const std::uint8_t* data, std::size_t size, const std::uint8_t* key, std::size_t key_size) {
  try {
    bif::MemorySource src(data, size, "TEST.bif");
    bif::Archive a(src);
    std::optional<bif::MemorySource> ksrc;
    std::optional<bif::Key> k;
    long long idx = -1;
    if (key) {
      ksrc.emplace(key, key_size, "chitin.key");
      k.emplace(*ksrc);
      idx = std::max(k->find_bif("TEST.bif"), 0LL);
    }
    for (const auto& p : bif::plan_names(a, k ? &*k : nullptr, idx)) (void)a.problem(a.entries()[p.entry]);
    std::vector<unsigned char> buf(64 * 1024);
    for (const bif::Entry& e : a.entries()) {
      if (e.damaged) continue;
      try {
        for (bif::u64 pos = 0; pos < e.size; pos += buf.size()) {
          auto n = static_cast<std::size_t>(std::min<bif::u64>(buf.size(), e.size - pos));
          a.data().read(e.offset + pos, buf.data(), n);
        }
      } catch (const bif::Error&) {
      }
    }
  } catch (const bif::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    bif::MemorySource src(data, size, "chitin.key");
    bif::Key k(src);
    k.find_bif("TEST.bif");
    k.for_each_resource([](const bif::KeyResource& r) { (void)bif::sanitize_stem(r.resref); });
  } catch (const bif::Error&) {
  }
  try_input(data, size, nullptr, 0);
  if (size >= 4) {
    std::size_t key_len = bif::le32(data);
    if (key_len <= size - 4) try_input(data + 4 + key_len, size - 4 - key_len, data + 4, key_len);
  }
  return 0;
}
