// Extraction writes complete files only, and reports what it could not write.
#include <doctest.h>

#include "extract.h"
#include "test_util.h"

using namespace bt;
using bif::gen::BiffSpec;

namespace {
void make_game(const fs::path& root, const Bytes& archive, const bif::gen::KeySpec& key, const std::string& name) {
  fs::create_directories(root / "data");
  write_all(root / "data" / name, archive);
  write_all(root / "chitin.key", bif::gen::build_key(key));
}
}  // namespace

TEST_SUITE("extract") {
  TEST_CASE("a failed write is reported and leaves no cut-short file under the resource's name") {
    TempDir t("full");
    BiffSpec plan;
    bif::gen::KeySpec key;
    key.bifs.push_back({"data\\FULL.bif", 0, 1});
    // small, big, small (in archive order)
    const std::size_t sizes[] = {1000, 300000, 1000};
    for (bif::u32 i = 0; i < 3; ++i) {
      plan.files.push_back({i, 0x03F4, pattern(sizes[i], i)});
      key.resources.push_back({"RES" + std::to_string(i), 0x03F4, i});
    }
    make_game(t.path, bif::gen::build_biff(plan), key, "FULL.bif");
    // A file-size limit of 100 KiB (in 512- or 1024-byte units, whatever the shell uses) makes
    // the big write fail as a full disk would.
    Run r = run_biftool({"-extr", "FULL.bif"}, t.path / "data", "ulimit -f 100 &&");
    CHECK(r.code == 2);
    CHECK(contains(r.err, "RES1.2DA: cannot write"));
    CHECK(contains(r.err, "extraction stopped after 1 of 3 resources"));
    CHECK(files_in(t.path / "data" / "FULL") == std::vector<std::string>{"RES0.2DA"});
    CHECK(read_all(t.path / "data" / "FULL" / "RES0.2DA") == plan.files[0].data);

    // Without the limit it all works, replacing what is there.
    write_all(t.path / "data" / "FULL" / "RES1.2DA", text("old"));
    r = run_biftool({"-extr", "FULL.bif"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(files_in(t.path / "data" / "FULL") == std::vector<std::string>{"RES0.2DA", "RES1.2DA", "RES2.2DA"});
    CHECK(read_all(t.path / "data" / "FULL" / "RES1.2DA") == plan.files[1].data);
  }

  TEST_CASE("the output folder's name is taken by a file") {
    TempDir t("taken");
    Sample s = sample_archive();
    make_game(t.path, s.biff, s.key, "TEST.bif");
    write_all(t.path / "data" / "TEST", text("a file"));
    Run r = run_tool({"-extr", (t.path / "data" / "TEST.bif").string()});
    CHECK(r.code == 2);
    CHECK(contains(r.err, "TEST: cannot extract into it: it exists and is not a folder"));
  }

  TEST_CASE("a resource that cannot be read is skipped, its temporary file removed") {
    TempDir t("unreadable");
    // BIFC whose later blocks hold garbage (behind intact block headers): the first resources
    // extract, later ones fail.
    BiffSpec archive;
    for (bif::u32 i = 0; i < 8; ++i) archive.files.push_back({i, 0x03F4, pattern(20000, i)});
    Bytes z = bif::gen::compress_bifc(bif::gen::build_biff(archive), 4096);
    std::size_t block = 0;
    for (std::size_t pos = 12; pos + 8 <= z.size(); pos += 8 + bif::le32(&z[pos + 4]), ++block)
      if (block >= 30)
        for (std::size_t i = pos + 8; i < pos + 8 + bif::le32(&z[pos + 4]); ++i) z[i] = static_cast<unsigned char>(i * 7);
    bif::MemorySource src(z.data(), z.size(), "X.bif");
    bif::Archive a(src);
    auto plan = bif::plan_names(a, nullptr, -1);
    auto st = bif::extract_all(a, plan, t.path / "X", nullptr);
    CHECK(st.files >= 4);
    CHECK(st.files < 8);
    CHECK(st.errors.size() == 8 - st.files);
    CHECK_FALSE(st.stopped);
    for (const auto& name : files_in(t.path / "X")) CHECK(!contains(name, bif::kPartSuffix));
    CHECK(files_in(t.path / "X").size() == st.files);
  }
}
