// libFuzzer target for biftool's readers: every input is tried as an index (chitin.key), as an
// archive (BIFF / BIF V1.0 / BIFC), and split as "u32 index length, index, archive" to drive the
// naming of archive entries through the index. Resource data is read in full (to a scratch
// buffer), so the decompressors are exercised too.
//
//   clang++ -fsanitize=fuzzer,address ...   (built by tests/biftool/CMakeLists.txt)
//   biftool_fuzz -max_total_time=600 -malloc_limit_mb=256 CORPUS_DIR SEED_DIR
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive.h"
#include "key.h"
#include "names.h"
#include "source.h"

namespace {

void try_key(const std::uint8_t* data, std::size_t size) {
  try {
    bif::MemorySource src(data, size, "chitin.key");
    bif::Key k(src);
    k.find_bif("TEST.bif");
    for (bif::u32 i = 0; i < k.bif_count() && i < 64; ++i) k.bif_name(i);
    k.for_each_resource([](const bif::KeyResource& r) { (void)bif::sanitize_stem(r.resref); });
  } catch (const bif::Error&) {
  }
}

void read_entries(bif::Archive& a) {
  std::vector<unsigned char> buf(64 * 1024);
  for (const bif::Entry& e : a.entries()) {
    if (e.damaged) continue;
    try {
      for (bif::u64 pos = 0; pos < e.size; pos += buf.size()) {
        std::size_t n = static_cast<std::size_t>(std::min<bif::u64>(buf.size(), e.size - pos));
        a.data().read(e.offset + pos, buf.data(), n);
      }
    } catch (const bif::Error&) {
    }
  }
}

void try_archive(const std::uint8_t* data, std::size_t size, const std::uint8_t* key, std::size_t key_size) {
  try {
    bif::MemorySource src(data, size, "TEST.bif");
    bif::Archive a(src);
    std::unique_ptr<bif::MemorySource> ksrc;
    std::unique_ptr<bif::Key> k;
    long long idx = -1;
    if (key) {
      ksrc = std::make_unique<bif::MemorySource>(key, key_size, "chitin.key");
      k = std::make_unique<bif::Key>(*ksrc);
      idx = k->find_bif("TEST.bif");
      if (idx < 0) idx = 0;
    }
    auto plan = bif::plan_names(a, k.get(), idx);
    for (const auto& p : plan) (void)a.problem(a.entries()[p.entry]);
    read_entries(a);
  } catch (const bif::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try_key(data, size);
  try_archive(data, size, nullptr, 0);
  if (size >= 4) {
    std::size_t key_len = bif::le32(data);
    if (key_len <= size - 4) try_archive(data + 4 + key_len, size - 4 - key_len, data + 4, key_len);
  }
  return 0;
}
