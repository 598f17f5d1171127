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
