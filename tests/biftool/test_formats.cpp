// Well-formed input: every archive format, and naming through the index.
#include <doctest.h>

#include "test_util.h"

using namespace bt;
using bif::gen::BiffPlan, bif::gen::file_locator;

TEST_SUITE("formats") {
TEST_CASE("every format, the BIFF table anywhere, named through the index by locator")
{
    // The sample's locators are out of table order with gaps, an index entry of another archive
    // has the same file index, tilesets become TIS files, one type has no known extension.
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
    for (std::size_t block : {7, 4096, 1 << 20})
        archives.push_back(bif::gen::compress_bifc(archives[2], block));
    for (const Bytes& a : archives)
        CHECK(extract_memory(TempDir("formats").path / "TEST", a, &key) == s.expected);
}

TEST_CASE("entries sharing data extract whole from every format, the compressed ones inflated once")
{
    // Big enough that inflating the stream again for each of the 100 sharers of the blob would
    // pass any bound the table can justify.
    BiffPlan plan;
    plan.files = {{0, 0x03F4, pattern(1 << 20, 1)}, {1, 0x03F4, pattern(200000, 2)}};
    for (bif::u32 i = 2; i < 110; ++i)
        plan.files.push_back({i, 0x03ED, {}}); // pointed below at others' data
    plan.files.push_back({110, 0x0001, pattern(100, 3)});
    plan.tilesets = {{bif::gen::tileset_locator(0, 1), 5120, pattern(5120 * 8, 4)},
                     {bif::gen::tileset_locator(0, 2), 100, {}}};
    Bytes biff = bif::gen::build_biff(plan);
    auto file = [&](std::size_t i) { return &biff[20 + 16 * i]; };
    auto offset = [&](std::size_t i) { return bif::le32(file(i) + 4); };
    unsigned char* tiles = &biff[20 + 16 * plan.files.size()];
    const bif::u32 f0 = offset(0), f1 = offset(1), blob = offset(110), t0 = bif::le32(tiles + 4);
    const std::pair<bif::u32, bif::u32> shared[] = {
        {f0 + 500, 5000},      // inside another file
        {f1 - 1000, 2000},     // from the end of one file into the next
        {f1, 200000},          // the same data as another
        {f1, 0},               // nothing, where another starts
        {t0 + 100, 3000},      // inside a tileset's tiles
        {0, 64},               // the header and the table
        {f0 + 1000, 1 << 20}}; // a long one, reaching past the longest before it
    for (std::size_t i = 0; i < 108; ++i) {
        auto [off, len] = i < std::size(shared) ? shared[i] : std::pair{blob, 100u};
        bif::put32(file(2 + i) + 4, off), bif::put32(file(2 + i) + 8, len);
    }
    bif::put32(tiles + 20 + 4, f0 + 1000), bif::put32(tiles + 20 + 8, 30); // a tileset inside a file
    const TempDir t("shared");
    auto want = extract_memory(t.path / "TEST", biff);
    REQUIRE(want.size() == 113);
    CHECK(want["LOC00002.ITM"] == Bytes(&biff[f0 + 500], &biff[f0 + 5500]));
    CHECK(want["LOC00020.ITM"] == plan.files[110].data);
    for (const Bytes& z : {bif::gen::compress_bif_v10(biff, "TEST.bif"), bif::gen::compress_bifc(biff, 4096),
                           bif::gen::compress_bifc(biff, 1 << 20)})
        CHECK(extract_memory(t.path / "TEST", z) == want);
}

TEST_CASE("the index entry of the archive: case, folders, leading backslash, ':', x.cbf for x.bif")
{
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"\\data\\test.BIF", "TEST.bif", true}, {"HD0:\\data\\TEST.bif", "test.bif", true},
        {"cd2/Test.bif", "TEST.bif", true},     {"TEST.bif", "TEST.bif", true},
        {"data\\TEST.bif", "test.CBF", true},   {"data\\TEST.bif", "TEST.bif.cbf", false},
        {"data\\TESTX.bif", "TEST.cbf", false}, {"data\\TEST2.bif", "TEST.bif", false}};
    for (const auto& [entry, file, match] : rows)
        CHECK(bif::Key::names_match(entry, file) == match);
}

TEST_CASE("duplicate names in the index: the later entry wins, the loser goes by its locator")
{
    const std::vector<std::string> sample = {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM"};
    const std::pair<bif::gen::KeyPlan::Res, std::vector<std::string>> rows[] = {
        // Later TABLE names locator 4 too (beside ITEMX); locator 7 loses its name.
        {{"TABLE", 0x03F4, file_locator(1, 4)}, {"LOC00007.2DA", "TABLE.2DA", "ITEMX.ITM"}},
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
        auto got = extract_memory(TempDir("dup").path / "TEST", s.biff, &key);
        for (const std::string& name : first_three)
            CHECK(got.count(name) == 1);
    }
}
}
