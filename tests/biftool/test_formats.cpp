// Well-formed input: every archive format, and naming through the index.
#include <doctest.h>

#include <algorithm>

#include "test_util.h"

using namespace bt;
using bif::gen::BiffPlan, bif::gen::file_locator;

TEST_SUITE("formats") {
  TEST_CASE("every format, the BIFF table anywhere, named through the index by locator") {
    // The sample's locators are out of table order with gaps, an index entry of another archive
    // has the same file index, tilesets become TIS files, one type has no known extension.
    TempDir t("formats");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    std::vector<Bytes> archives;
    for (auto where : {BiffPlan::Table::Front, BiffPlan::Table::Middle, BiffPlan::Table::End}) {
      s.plan.table = where;
      archives.push_back(bif::gen::build_biff(s.plan));
    }
    // Compressed, with the table last (read first, then extraction seeks back); BIFC blocks cut
    // through resources and the table.
    archives.push_back(bif::gen::compress_bif_v10(archives.back(), "TEST.bif"));
    for (std::size_t block : {7, 4096, 1 << 20}) archives.push_back(bif::gen::compress_bifc(archives[2], block));
    for (std::size_t i = 0; i < archives.size(); ++i) {
      CAPTURE(i);
      CHECK(extract_memory(t.path, archives[i], &key) == s.expected);
    }
  }

  TEST_CASE("compressed data reads correctly at any place, backward too") {
    BiffPlan plan;
    plan.files.push_back({0, 0x03F4, pattern(300000, 9)});
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

  TEST_CASE("resources of no size, larger than the copy buffer, sharing their data") {
    TempDir t("sizes");
    BiffPlan plan;
    plan.files = {{3, 0x03F4, {}}, {4, 0x0004, pattern(3 * 1024 * 1024 + 17, 3)}};
    plan.tilesets.push_back({1 << 14, 4096, pattern(4096 * 300, 4)});
    Bytes biff = bif::gen::build_biff(plan);
    for (const Bytes& a : {biff, bif::gen::compress_bifc(biff, 65536)}) {
      auto got = extract_memory(t.path, a);
      CHECK(got.size() == 3);
      CHECK(got["LOC00003.2DA"].empty());
      CHECK(got["LOC00004.WAV"] == plan.files[1].data);
      CHECK(Bytes(got["LOC04000.TIS"].begin() + 24, got["LOC04000.TIS"].end()) == plan.tilesets[0].data);
    }
    CHECK(list_memory(bif::gen::build_biff(BiffPlan{})).empty());
    auto got = extract_memory(t.path, sharing(100000, 101));
    CHECK(got.size() == 101);
    CHECK(got["LOC00000~101.2DA"] == pattern(100000, 1));
  }

  TEST_CASE("the index entry of the archive: case, folders, leading backslash, ':', x.cbf for x.bif") {
    Sample s = sample_archive();
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"data\\TEST.bif", "TEST.bif", true},  {"\\data\\test.BIF", "TEST.bif", true},
        {"data:TEST.bif", "TEST.bif", true},   {"HD0:\\data\\TEST.bif", "test.bif", true},
        {"cd2/Test.bif", "TEST.bif", true},    {"TEST.bif", "TEST.bif", true},
        {"data\\TEST.bif", "test.CBF", true},  {"data\\TEST.bif", "TEST.bif.cbf", false},
        {"data\\TESTX.bif", "TEST.cbf", false}, {"data\\TEST2.bif", "TEST.bif", false}};
    for (const auto& [entry, file, match] : rows) {
      CAPTURE(entry + " vs " + file);
      s.key.bifs[1].name = entry;
      Bytes key = bif::gen::build_key(s.key);
      CHECK(list_memory(s.biff, &key, file)[0] == (match ? "TABLE.2DA" : "LOC00007.2DA"));
    }
  }

  TEST_CASE("duplicate names in the index: the later entry wins, the loser goes by its locator") {
    const std::vector<std::string> sample = {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM"};
    const std::pair<bif::gen::KeyPlan::Res, std::vector<std::string>> rows[] = {
        // Later TABLE names locator 4 (over ITEMX); locator 7 loses its name.
        {{"TABLE", 0x03F4, file_locator(1, 4)}, {"LOC00007.2DA", "PICTURE.BMP", "TABLE.ITM"}},
        // Same name and type later in another archive.
        {{"picture", 0x0001, file_locator(0, 2)}, {"TABLE.2DA", "LOC00002.BMP", "ITEMX.ITM"}},
        // Later ones pointing at no entry of this archive, or at no archive, take nothing.
        {{"TABLE", 0x03F4, file_locator(1, 99)}, sample},
        {{"TABLE", 0x03F4, file_locator(9, 7)}, sample},
        // The same entry listed twice keeps its name.
        {{"PICTURE", 0x0001, file_locator(1, 2)}, sample}};
    for (const auto& [extra, first_three] : rows) {
      Sample s = sample_archive();
      s.key.resources.push_back(extra);
      Bytes key = bif::gen::build_key(s.key);
      auto names = list_memory(s.biff, &key);
      CHECK(std::vector<std::string>(names.begin(), names.begin() + 3) == first_three);
    }
  }
}
