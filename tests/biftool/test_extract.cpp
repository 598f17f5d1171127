// Extraction writes complete files only, and reports what it could not write or read.
#include <doctest.h>

#include "extract.h"
#include "test_util.h"

using namespace bt;

TEST_SUITE("extract") {
  TEST_CASE("a failed write stops with an error and leaves no cut-short file; a rerun replaces") {
    TempDir t("full");
    bif::gen::BiffSpec plan;
    bif::gen::KeySpec key;
    key.bifs.push_back({"data\\FULL.bif", 0, 1});
    const std::size_t sizes[] = {1000, 300000, 1000};  // in archive order
    for (bif::u32 i = 0; i < 3; ++i) {
      plan.files.push_back({i, 0x03F4, pattern(sizes[i], i)});
      key.resources.push_back({"RES" + std::to_string(i), 0x03F4, i});
    }
    fs::create_directories(t.path / "data");
    write_all(t.path / "data" / "FULL.bif", bif::gen::build_biff(plan));
    write_all(t.path / "chitin.key", bif::gen::build_key(key));
    const fs::path out = t.path / "data" / "FULL";
    // A file-size limit of 100 blocks makes the big write fail as a full disk would.
    Run r = run_biftool({"-extr", "FULL.bif"}, t.path / "data", "ulimit -f 100 &&");
    CHECK(r.code == 2);
    CHECK(contains(r.err, "RES1.2DA: cannot write"));
    CHECK(contains(r.err, "extraction stopped after 1 of 3 resources"));
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA"});

    write_all(out / "RES1.2DA", text("old"));
    r = run_biftool({"-extr", "FULL.bif"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA", "RES1.2DA", "RES2.2DA"});
    CHECK(read_all(out / "RES1.2DA") == plan.files[1].data);
  }

  TEST_CASE("a resource that cannot be read is skipped, the rest extracted") {
    TempDir t("unreadable");
    // BIFC whose later blocks hold garbage behind intact block headers.
    bif::gen::BiffSpec archive;
    for (bif::u32 i = 0; i < 8; ++i) archive.files.push_back({i, 0x03F4, pattern(20000, i)});
    Bytes z = bif::gen::compress_bifc(bif::gen::build_biff(archive), 4096);
    std::size_t block = 0;
    for (std::size_t pos = 12; pos + 8 <= z.size(); pos += 8 + bif::le32(&z[pos + 4]), ++block)
      for (std::size_t i = pos + 8; block >= 30 && i < pos + 8 + bif::le32(&z[pos + 4]); ++i)
        z[i] = static_cast<unsigned char>(i * 7);
    Opened o(z, nullptr, "X.bif");
    auto st = bif::extract_all(o.archive, o.plan, t.path / "X", nullptr);
    CHECK(st.files >= 4);
    CHECK(st.files < 8);
    CHECK(st.errors.size() == 8 - st.files);
    CHECK_FALSE(st.stopped);
    auto files = files_in(t.path / "X");
    CHECK(files.size() == st.files);
    for (const auto& name : files) CHECK(read_all(t.path / "X" / name) == archive.files[name[7] - '0'].data);
  }
}
