// libFuzzer target for biftool's readers and extraction: every input is tried as an index
// (chitin.key), as an archive (BIFF / BIF V1.0 / BIFC), and split as "u32 index length, index,
// archive" to drive the naming of archive entries through the index. Each archive is extracted
// into a scratch folder, and every path written must lie inside its output folder. Built and run
// briefly by CMakeLists.txt / run_fuzz.cmake; longer:
//   biftool_fuzz -max_total_time=600 -malloc_limit_mb=256 CORPUS_DIR SEED_DIR
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "extract.h"

namespace {

namespace fs = std::filesystem;

void try_input(const std::uint8_t* data, std::size_t size, const std::uint8_t* key, std::size_t key_size) {
  static const fs::path scratch = fs::temp_directory_path() / ("biftool-fuzz-" + std::to_string(::getpid()));
  try {
    bif::MemorySource src(data, size, "TEST.bif");
    bif::Archive a(src);
    std::optional<bif::MemorySource> ksrc;
    std::optional<bif::Key> k;
    if (key) k.emplace(ksrc.emplace(key, key_size, "chitin.key"));
    auto plan = bif::plan_names(a, k ? &*k : nullptr, k ? std::max(k->find_bif("TEST.bif"), 0LL) : -1);
    bif::u64 total = 0;
    for (const bif::Entry& e : a.entries()) total += e.damaged ? 0 : e.output_size();
    if (total > (16u << 20)) return;  // entries sharing data: lawful, but slow to write
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    auto st = bif::extract_all(a, plan, {scratch, "TEST", "TEST"}, {size % 2 == 0, size}, nullptr);
    // Only the output folder, holding only files, may exist in the scratch folder afterwards.
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(scratch)) {
      bool inside = e.path().parent_path() == scratch / "TEST" && e.is_regular_file();
      if (!inside && e.path() != scratch / "TEST") std::abort();
      files += inside;
    }
    if (files > st.files) std::abort();
  } catch (const bif::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    bif::MemorySource src(data, size, "chitin.key");
    bif::Key(src).for_each_resource([](const bif::KeyResource& r) { (void)bif::sanitize_stem(r.resref); });
  } catch (const bif::Error&) {
  }
  try_input(data, size, nullptr, 0);
  std::size_t key_len = size >= 4 ? bif::le32(data) : 0;
  if (size >= 4 && key_len <= size - 4) try_input(data + 4 + key_len, size - 4 - key_len, data + 4, key_len);
  return 0;
}
