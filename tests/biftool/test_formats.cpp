// Well-formed input: every archive format, and naming through the index.
#include <doctest.h>

#include <algorithm>

#include "test_util.h"

using namespace bt;
using bif::gen::BiffPlan;
using bif::gen::file_locator;

TEST_SUITE("formats") {
  TEST_CASE("every format, the BIFF table anywhere, named through the index by locator") {
    // The sample's locators are out of table order with gaps, an index entry of another archive
    // has the same file index, tilesets become TIS files, one type has no known extension.
    TempDir t("formats");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    for (auto where : {BiffPlan::Table::Front, BiffPlan::Table::Middle, BiffPlan::Table::End}) {
      s.plan.table = where;
      s.biff = bif::gen::build_biff(s.plan);
      CAPTURE(static_cast<int>(where));
      CHECK(extract_memory(t.path, s.biff, &key) == s.expected);
    }
    // Compressed, with the table last (read first, then extraction seeks back); BIFC blocks cut
    // through resources and the table.
    std::vector<Bytes> packed = {bif::gen::compress_bif_v10(s.biff, "TEST.bif")};
    for (std::size_t block : {7, 4096, 1 << 20}) packed.push_back(bif::gen::compress_bifc(s.biff, block));
    for (std::size_t i = 0; i < packed.size(); ++i) {
      CAPTURE(i);
      CHECK(extract_memory(t.path, packed[i], &key) == s.expected);
    }
  }

  TEST_CASE("compressed data reads correctly at any place, backward too") {
    Bytes plain = pattern(300000, 9);
    BiffPlan plan;
    plan.files.push_back({0, 0x03F4, plain});
    Bytes biff = bif::gen::build_biff(plan);
    for (const Bytes& z : {bif::gen::compress_bif_v10(biff, "x.bif"), bif::gen::compress_bifc(biff, 1000)}) {
      Opened o(z, nullptr, "x.bif");
      bif::gen::Rng r(5);
      for (int i = 0; i < 200; ++i) {
        std::size_t off = r.next() % biff.size(), n = std::min<std::size_t>(r.next() % 5000, biff.size() - off);
        Bytes got(n);
        o.archive.data().read(off, got.data(), n);
        CHECK(std::equal(got.begin(), got.end(), biff.begin() + static_cast<long>(off)));
      }
    }
  }

  TEST_CASE("resources of no size and larger than the copy buffer") {
    TempDir t("sizes");
    BiffPlan plan;
    plan.files.push_back({3, 0x03F4, {}});
    plan.files.push_back({4, 0x0004, pattern(3 * 1024 * 1024 + 17, 3)});
    plan.tilesets.push_back({1 << 14, 4096, pattern(4096 * 300, 4)});
    Bytes biff = bif::gen::build_biff(plan);
    for (const Bytes& a : {biff, bif::gen::compress_bifc(biff, 65536)}) {
      auto got = extract_memory(t.path, a);
      REQUIRE(got.size() == 3);
      CHECK(got["LOC00003.2DA"].empty());
      CHECK(got["LOC00004.WAV"] == plan.files[1].data);
      const Bytes& tis = got["LOC04000.TIS"];
      CHECK(Bytes(tis.begin() + 24, tis.end()) == plan.tilesets[0].data);
    }
    CHECK(list_memory(bif::gen::build_biff(BiffPlan{})).empty());
    // Entries may share data: 101 entries of one 100000-byte resource.
    BiffPlan one;
    one.files.push_back({0, 0x03F4, pattern(100000, 1)});
    Bytes shared = bif::gen::build_biff(one), entry(shared.begin() + 20, shared.begin() + 36);
    bif::put32(&shared[8], 101);
    bif::put32(&shared[16], static_cast<bif::u32>(shared.size()));
    for (int i = 0; i < 101; ++i) shared.insert(shared.end(), entry.begin(), entry.end());
    auto got = extract_memory(t.path, shared);
    CHECK(got.size() == 101);
    CHECK(got["LOC00000~101.2DA"] == one.files[0].data);
  }

  TEST_CASE("the index entry of the archive: case, folders, leading backslash, ':', x.cbf for x.bif") {
    Sample s = sample_archive();
    struct Row {
      std::string entry, file;
      bool match;
    };
    for (const Row& r : {Row{"data\\TEST.bif", "TEST.bif", true}, Row{"\\data\\test.BIF", "TEST.bif", true},
                         Row{"data:TEST.bif", "TEST.bif", true}, Row{"HD0:\\data\\TEST.bif", "test.bif", true},
                         Row{"cd2/Test.bif", "TEST.bif", true}, Row{"TEST.bif", "TEST.bif", true},
                         Row{"data\\TEST.bif", "test.CBF", true}, Row{"data\\TEST.bif", "TEST.bif.cbf", false},
                         Row{"data\\TESTX.bif", "TEST.cbf", false}, Row{"data\\TEST2.bif", "TEST.bif", false}}) {
      CAPTURE(r.entry + " vs " + r.file);
      s.key.bifs[1].name = r.entry;
      Bytes key = bif::gen::build_key(s.key);
      CHECK(list_memory(s.biff, &key, r.file)[0] == (r.match ? "TABLE.2DA" : "LOC00007.2DA"));
    }
  }

  TEST_CASE("duplicate names in the index: the later entry wins, the loser goes by its locator") {
    struct Row {
      bif::gen::KeyPlan::Res extra;  // appended to the sample's index
      std::vector<std::string> first_three;
    };
    for (const Row& r : {
             // Later TABLE names locator 4 (over ITEMX); locator 7 loses its name.
             Row{{"TABLE", 0x03F4, file_locator(1, 4)}, {"LOC00007.2DA", "PICTURE.BMP", "TABLE.ITM"}},
             // Same name and type later in another archive.
             Row{{"picture", 0x0001, file_locator(0, 2)}, {"TABLE.2DA", "LOC00002.BMP", "ITEMX.ITM"}},
             // A later TABLE pointing at no entry of this archive, or at no archive, takes nothing.
             Row{{"TABLE", 0x03F4, file_locator(1, 99)}, {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM"}},
             Row{{"TABLE", 0x03F4, file_locator(9, 7)}, {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM"}},
             // The same entry listed twice keeps its name.
             Row{{"PICTURE", 0x0001, file_locator(1, 2)}, {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM"}}}) {
      CAPTURE(r.extra.resref);
      Sample s = sample_archive();
      s.key.resources.push_back(r.extra);
      Bytes key = bif::gen::build_key(s.key);
      auto names = list_memory(s.biff, &key);
      CHECK(std::vector<std::string>(names.begin(), names.begin() + 3) == r.first_three);
    }
  }
}
