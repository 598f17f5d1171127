// libFuzzer target for biftool's readers and extraction: an input is an archive, or an index then
// an archive (from its first "BIF" on, as `cat chitin.key X.bif` gives); each is extracted into a
// scratch folder and every path written must lie inside its output folder.
// Longer runs: biftool_fuzz -max_total_time=600 CORPUS SEEDS
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "extract.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
try {
    static const fs::path scratch = fs::temp_directory_path() / ("biftool-fuzz-" + std::to_string(::getpid()));
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::size_t split = std::min(in.rfind("KEY V1  ", 0) == 0 ? in.find("BIF", 24) : 0, size);
    bif::MemorySource src(data + split, size - split, "TEST.bif"), key_src(data, split, "chitin.key");
    bif::Archive a(src);
    std::optional<bif::Key> k;
    if (split)
        k.emplace(key_src);
    std::vector<bif::u32> bifs = k ? k->find_archive("TEST.bif").bifs : std::vector<bif::u32>{};
    if (k && bifs.empty())
        bifs = {0};
    auto plan = bif::plan_names(a, k ? &*k : nullptr, bifs);
    bif::u64 total = 0;
    for (const bif::Entry& e : a.entries())
        total += e.damaged ? 0 : e.output_size();
    if (total > (16u << 20))
        return 0; // entries sharing data: lawful, but slow to write
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    auto st = bif::extract_all(a, plan, {scratch, "TEST", "TEST"}, {size % 2 == 0, size}, nullptr);
    // Only the output folder, holding only files, may exist in the scratch folder afterwards.
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(scratch)) {
        bool inside = e.path().parent_path() == scratch / "TEST" && e.is_regular_file();
        if (!inside && e.path() != scratch / "TEST")
            std::abort();
        files += inside;
    }
    if (files > st.files)
        std::abort();
    return 0;
} catch (const bif::Error&) {
    return 0;
}
