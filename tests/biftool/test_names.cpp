// Names from the index never leave the output folder and never name a device.
#include <doctest.h>

#include "fsutil.h"
#include "test_util.h"

using namespace bt;

TEST_SUITE("names") {
  TEST_CASE("path separators, dots, drives, wildcards, control and non-ASCII bytes") {
    CHECK(bif::sanitize_stem("AR0100") == "AR0100");
    CHECK(bif::sanitize_stem("..") == "__");
    CHECK(bif::sanitize_stem("../x") == "___x");
    CHECK(bif::sanitize_stem("..\\..\\x") == "___.._x");
    CHECK(bif::sanitize_stem("a/b\\c") == "a_b_c");
    CHECK(bif::sanitize_stem("C:x") == "C_x");
    CHECK(bif::sanitize_stem("a*?<>|\"") == "a______");
    CHECK(bif::sanitize_stem(std::string("a\x01\x1f\x7f", 4)) == "a___");
    CHECK(bif::sanitize_stem("\xc3\xa4x") == "__x");
    CHECK(bif::sanitize_stem(" x ") == "_x_");
    CHECK(bif::sanitize_stem("x.") == "x_");
    CHECK(bif::sanitize_stem(".hidden") == "_hidden");
    CHECK(bif::sanitize_stem("") == "");
    CHECK(bif::sanitize_stem(std::string("ab\0cd", 5)) == "ab");
    CHECK(bif::sanitize_stem("#SPELL1") == "#SPELL1");
  }

  TEST_CASE("reserved device names of Windows") {
    for (const char* d : {"CON", "con", "PRN", "AUX", "NUL", "Nul", "COM1", "com9", "LPT1", "LPT0", "CONIN$", "CONOUT$",
                          "CLOCK$"}) {
      CHECK_MESSAGE(bif::is_reserved_device(d), d);
      std::string s = bif::sanitize_stem(d);
      CHECK_MESSAGE(!bif::is_reserved_device(s), s);
      CHECK(s == std::string(d) + "_");
    }
    CHECK(bif::sanitize_stem("NUL.X") == "NUL_.X");
    CHECK(bif::sanitize_stem("CON  .A") == "CON_  .A");
    CHECK_FALSE(bif::is_reserved_device("CONX"));
    CHECK_FALSE(bif::is_reserved_device("COM"));
    CHECK_FALSE(bif::is_reserved_device("COM10"));
    CHECK_FALSE(bif::is_reserved_device("NULL"));
  }

  TEST_CASE("an index full of hostile names extracts only inside the output folder") {
    TempDir t("hostile-names");
    bif::gen::BiffSpec plan;
    bif::gen::KeySpec k;
    k.bifs.push_back({"data\\EVIL.bif", 0, 1});
    const std::vector<std::string> names = {"..",  "../../x", "..\\..\\y", "/etc/pw", "C:\\WIN", "CON",  "nul",
                                            "COM1", "aux.x",   "LPT9",     "a\tb",    "",        "\x01\x02", "\xff\xfe",
                                            " ",   ".",       "x:y",      "*",       "?",       "|"};
    for (std::size_t i = 0; i < names.size(); ++i) {
      bif::u32 loc = bif::gen::file_locator(0, static_cast<bif::u32>(i));
      plan.files.push_back({loc, 0x03F4, text("resource " + std::to_string(i))});
      k.resources.push_back({names[i], 0x03F4, loc});
    }
    Bytes key = bif::gen::build_key(k);
    auto got = extract_memory(t.path, bif::gen::build_biff(plan), &key, "EVIL.bif");
    CHECK(got.size() == names.size());
    // Nothing was written outside EVIL/.
    CHECK(files_in(t.path) == std::vector<std::string>{"EVIL"});
    for (const auto& [name, data] : got) {
      CHECK(name.find_first_of("/\\:*?|<>\"") == std::string::npos);
      CHECK(!bif::is_reserved_device(name));
      CHECK(name[0] != '.');
    }
    CHECK(got.count("CON_.2DA") == 1);
    CHECK(got.count("LOC0000B.2DA") == 1);  // the empty name
  }

  TEST_CASE("locator names") {
    CHECK(bif::locator_stem(0x00500007) == "LOC00007");
    CHECK(bif::locator_stem(0x0000C000) == "LOC0C000");
    CHECK(bif::locator_stem(0xFFFFFFFF) == "LOCFFFFF");
  }
}
