// Well-formed input: every format and quirk biftool must read.
#include <doctest.h>

#include "fsutil.h"
#include "test_util.h"

using namespace bt;
using bif::gen::BiffSpec;
using bif::gen::file_locator;
using bif::gen::tileset_locator;

TEST_SUITE("formats") {
  TEST_CASE("BIFF V1 with files and tilesets, named by locator through the index") {
    TempDir t("biff");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    Listing l = list_memory(s.biff, &key);
    CHECK(l.format == "BIFF V1");
    CHECK(l.names == std::vector<std::string>{"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM", "ODD.0x1234", "AR0200.TIS",
                                              "AR0100.TIS"});
    CHECK(l.entries[4].tiles == 3);
    CHECK(l.entries[4].tile_size == 5120);
    CHECK(l.entries[4].output_size() == 24 + 3 * 5120);
    CHECK(extract_memory(t.path, s.biff, &key) == s.expected);
  }

  TEST_CASE("the entry table may be anywhere") {
    TempDir t("table");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    for (auto where : {BiffSpec::Table::Front, BiffSpec::Table::Middle, BiffSpec::Table::End}) {
      s.plan.table = where;
      Bytes biff = bif::gen::build_biff(s.plan);
      CHECK(extract_memory(t.path, biff, &key) == s.expected);
      fs::remove_all(t.path / "TEST");
    }
  }

  TEST_CASE("BIF V1.0: one zlib stream holding a whole BIFF") {
    TempDir t("v10");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    Bytes z = bif::gen::compress_bif_v10(s.biff, "TEST.bif");
    CHECK(list_memory(z, &key).format == "BIF V1.0 (zlib)");
    CHECK(extract_memory(t.path, z, &key) == s.expected);
  }

  TEST_CASE("BIFC V1.0: zlib blocks, with blocks cutting through resources and the table") {
    TempDir t("bifc");
    Sample s = sample_archive();
    s.plan.table = BiffSpec::Table::End;
    s.biff = bif::gen::build_biff(s.plan);
    Bytes key = bif::gen::build_key(s.key);
    for (std::size_t block : {std::size_t{7}, std::size_t{100}, std::size_t{4096}, std::size_t{1} << 20}) {
      Bytes z = bif::gen::compress_bifc(s.biff, block);
      CHECK(list_memory(z, &key).format == "BIFC V1.0 (zlib blocks)");
      CHECK(extract_memory(t.path, z, &key) == s.expected);
      fs::remove_all(t.path / "TEST");
    }
  }

  TEST_CASE("compressed sources read correctly in any order") {
    Bytes plain = pattern(300000, 9);
    BiffSpec plan;
    plan.files.push_back({0, 0x03F4, plain});
    Bytes biff = bif::gen::build_biff(plan);
    for (int kind = 0; kind < 2; ++kind) {
      Bytes z = kind ? bif::gen::compress_bifc(biff, 1000) : bif::gen::compress_bif_v10(biff, "x.bif");
      bif::MemorySource src(z.data(), z.size(), "x.bif");
      bif::Archive a(src);
      bif::gen::Rng r(5);
      for (int i = 0; i < 200; ++i) {
        std::size_t off = r.next() % plain.size(), n = std::min<std::size_t>(r.next() % 5000, plain.size() - off);
        Bytes got(n);
        a.data().read(biff.size() - plain.size() + off, got.data(), n);  // the data follows header and table
        CHECK(std::equal(got.begin(), got.end(), plain.begin() + static_cast<long>(off)));
      }
    }
  }

  TEST_CASE("index entry names: folders, a leading backslash, ':' separators, any case") {
    Sample s = sample_archive();
    for (const char* name : {"data\\TEST.bif", "\\data\\test.BIF", "data:TEST.bif", "TEST.BIF", "cd2/Test.bif",
                             "HD0:\\data\\TEST.bif"}) {
      s.key.bifs[1].name = name;
      Bytes key = bif::gen::build_key(s.key);
      CHECK_MESSAGE(list_memory(s.biff, &key).names[0] == "TABLE.2DA", name);
    }
    s.key.bifs[1].name = "data\\TEST2.bif";
    Bytes key = bif::gen::build_key(s.key);
    CHECK(list_memory(s.biff, &key).names[0] == "LOC00007.2DA");
  }

  TEST_CASE("x.cbf on disk matches x.bif in the index") {
    TempDir t("cbf");
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    Bytes z = bif::gen::compress_bif_v10(s.biff, "TEST.bif");
    CHECK(extract_memory(t.path, z, &key, "TEST.cbf") == s.expected);
    CHECK(bif::Key::names_match("data\\TEST.bif", "test.CBF"));
    CHECK_FALSE(bif::Key::names_match("data\\TEST.bif", "TEST.bif.cbf"));
    CHECK_FALSE(bif::Key::names_match("data\\TESTX.bif", "TEST.cbf"));
  }

  TEST_CASE("resources the index does not name keep a locator name; no index at all") {
    Sample s = sample_archive();
    s.key.resources.erase(s.key.resources.begin());  // ITEMX
    Bytes key = bif::gen::build_key(s.key);
    Listing l = list_memory(s.biff, &key);
    CHECK(l.names[2] == "LOC00004.ITM");
    Listing n = list_memory(s.biff);
    CHECK(n.names == std::vector<std::string>{"LOC00007.2DA", "LOC00002.BMP", "LOC00004.ITM", "LOC00000.0x1234",
                                              "LOC08000.TIS", "LOC04000.TIS"});
  }

  TEST_CASE("duplicate names in the index: the later entry wins") {
    Sample s = sample_archive();
    // A second TABLE.2DA later in the index, pointing at another resource of this archive.
    s.key.resources.push_back({"TABLE", 0x03F4, file_locator(1, 4)});
    Bytes key = bif::gen::build_key(s.key);
    Listing l = list_memory(s.biff, &key);
    CHECK(l.names[0] == "LOC00007.2DA");  // lost its name
    CHECK(l.names[2] == "TABLE.ITM");     // the later entry names locator 4 (over ITEMX)

    // Same name and type, later, in another archive: ours goes by its locator.
    Sample o = sample_archive();
    o.key.resources.push_back({"picture", 0x0001, file_locator(0, 3)});
    key = bif::gen::build_key(o.key);
    CHECK(list_memory(o.biff, &key).names[1] == "LOC00002.BMP");

    // The same entry listed twice with the same locator keeps its name.
    Sample d = sample_archive();
    d.key.resources.push_back({"PICTURE", 0x0001, file_locator(1, 2)});
    key = bif::gen::build_key(d.key);
    CHECK(list_memory(d.biff, &key).names[1] == "PICTURE.BMP");
  }

  TEST_CASE("names that collide get numbered, case-insensitively") {
    BiffSpec plan;
    for (bif::u32 i = 0; i < 4; ++i) plan.files.push_back({file_locator(0, i), 0x03F4, text("x")});
    bif::gen::KeySpec k;
    k.bifs.push_back({"TEST.bif", 0, 1});
    k.resources.push_back({"A/B", 0x03F4, file_locator(0, 0)});
    k.resources.push_back({"A_B", 0x03F4, file_locator(0, 1)});
    k.resources.push_back({"a_b", 0x03F5, file_locator(0, 2)});  // other type: A_B.GAM, archive says 2DA
    k.resources.push_back({"a:b", 0x03F4, file_locator(0, 3)});
    Bytes key = bif::gen::build_key(k);
    Bytes biff = bif::gen::build_biff(plan);
    CHECK(list_memory(biff, &key).names == std::vector<std::string>{"A_B.2DA", "A_B~2.2DA", "a_b~3.2DA", "a_b~4.2DA"});
  }

  TEST_CASE("extension table") {
    CHECK(bif::extension(0x0001) == "BMP");
    CHECK(bif::extension(0x0002) == "MVE");
    CHECK(bif::extension(0x0004) == "WAV");
    CHECK(bif::extension(0x0005) == "WFX");
    CHECK(bif::extension(0x0006) == "PLT");
    CHECK(bif::extension(0x03E8) == "BAM");
    CHECK(bif::extension(0x03EB) == "TIS");
    CHECK(bif::extension(0x03F4) == "2DA");
    CHECK(bif::extension(0x03F8) == "EFF");
    CHECK(bif::extension(0x03F9) == "BS");
    CHECK(bif::extension(0x03FF) == "WBM");
    CHECK(bif::extension(0x0404) == "PVRZ");
    CHECK(bif::extension(0x0408) == "MENU");
    CHECK(bif::extension(0x040B) == "PNG");
    CHECK(bif::extension(0x044C) == "BAH");
    CHECK(bif::extension(0x0802) == "INI");
    CHECK(bif::extension(0x0803) == "SRC");
    CHECK(bif::extension(0x0003) == "0x0003");
    CHECK(bif::extension(0xBEEF) == "0xBEEF");
  }

  TEST_CASE("a tileset entry becomes a TIS with the 24-byte header") {
    bif::Entry e;
    e.tileset = true;
    e.tiles = 7;
    e.tile_size = 5120;
    unsigned char h[24];
    bif::Archive::tis_header(e, h);
    CHECK(std::memcmp(h, "TIS V1  ", 8) == 0);
    CHECK(bif::le32(h + 8) == 7);
    CHECK(bif::le32(h + 12) == 5120);
    CHECK(bif::le32(h + 16) == 0x18);
    CHECK(bif::le32(h + 20) == 64);
  }

  TEST_CASE("a resource larger than the copy buffer is streamed whole") {
    TempDir t("large");
    BiffSpec plan;
    plan.files.push_back({0, 0x0004, pattern(3 * 1024 * 1024 + 17, 3)});
    plan.tilesets.push_back({1 << 14, 4096, pattern(4096 * 300, 4)});
    Bytes biff = bif::gen::build_biff(plan);
    auto got = extract_memory(t.path, biff);
    CHECK(got["LOC00000.WAV"] == plan.files[0].data);
    CHECK(got["LOC04000.TIS"].size() == 24 + 4096 * 300);
    Bytes z = bif::gen::compress_bifc(biff, 65536);
    fs::remove_all(t.path / "TEST");
    CHECK(extract_memory(t.path, z)["LOC00000.WAV"] == plan.files[0].data);
  }

  TEST_CASE("zero-size resources and empty archives") {
    TempDir t("empty");
    BiffSpec plan;
    plan.files.push_back({3, 0x03F4, {}});
    auto got = extract_memory(t.path, bif::gen::build_biff(plan));
    CHECK(got.size() == 1);
    CHECK(got["LOC00003.2DA"].empty());
    CHECK(list_memory(bif::gen::build_biff(BiffSpec{})).names.empty());
  }
}
