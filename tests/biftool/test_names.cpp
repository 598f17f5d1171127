// Names from the index never leave the output folder, never name a device, never overwrite.
#include <doctest.h>

#include "test_util.h"

using namespace bt;

TEST_SUITE("names") {
  TEST_CASE("sanitising: separators, dots, drives, wildcards, control and non-ASCII bytes, devices") {
    const std::pair<std::string, std::string> rows[] = {
        {"#SPELL1", "#SPELL1"},      {"..", "__"},           {"../x", "___x"},        {"..\\..\\x", "___.._x"},
        {"a/b\\c", "a_b_c"},         {"C:x", "C_x"},         {"a*?<>|\"", "a______"}, {"a\x01\x1f\x7f", "a___"},
        {"\xc3\xa4x", "__x"},        {" x ", "_x_"},         {"x.", "x_"},            {".hidden", "_hidden"},
        {std::string("ab\0cd", 5), "ab"}, {"CON", "CON_"},   {"nul", "nul_"},         {"COM1", "COM1_"},
        {"lpt0", "lpt0_"},           {"CONIN$", "CONIN$_"},  {"CLOCK$", "CLOCK$_"},   {"NUL.X", "NUL_.X"},
        {"CON  .A", "CON_  .A"},     {"CONX", "CONX"},       {"COM10", "COM10"},      {"NULL", "NULL"}};
    for (const auto& [raw, want] : rows) {
      CAPTURE(raw);
      CHECK(bif::sanitize_stem(raw) == want);
    }
  }

  TEST_CASE("an index of hostile names extracts every resource, only inside the output folder") {
    TempDir t("hostile");
    bif::gen::BiffPlan plan;
    bif::gen::KeyPlan k;
    k.bifs.push_back({"data\\EVIL.bif", 0, 1});
    // Several of these sanitise to the same name, some only differing in case.
    const std::vector<std::string> names = {"..",   "../../x", "..\\..\\y", "/etc/pw", "C:\\WIN", "CON", "x:y",
                                            "X_Y",  "aux.x",   "a\tb",      "",        "\xff\xfe", ".",  "*", "?"};
    for (std::size_t i = 0; i < names.size(); ++i) {
      bif::u32 loc = bif::gen::file_locator(0, static_cast<bif::u32>(i));
      plan.files.push_back({loc, 0x03F4, text("resource " + std::to_string(i))});
      k.resources.push_back({names[i], 0x03F4, loc});
    }
    Bytes key = bif::gen::build_key(k);
    auto got = extract_memory(t.path, bif::gen::build_biff(plan), &key, "EVIL.bif");
    CHECK(files_in(t.path) == std::vector<std::string>{"EVIL"});
    CHECK(got.size() == names.size());
    for (const auto& [name, data] : got) {
      CAPTURE(name);
      CHECK(name.find_first_of("/\\:*?|<>\"\t") == std::string::npos);
      CHECK(!bif::is_reserved_device(name));
      CHECK(name[0] != '.');
    }
    CHECK(got["X_Y~2.2DA"] == text("resource 7"));
    CHECK(got["LOC0000A.2DA"] == text("resource 10"));  // the empty name
  }
}
