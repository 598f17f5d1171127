// Names from the index and the archive's own name never leave the output folder, never name a
// device, never overwrite one another.
#include <doctest.h>

#include "test_util.h"

using namespace bt;

TEST_SUITE("names") {
TEST_CASE("sanitising: separators, dots, drives, wildcards, control and non-ASCII bytes, devices")
{
    const std::pair<std::string, std::string> rows[] = {{"#SPELL1", "#SPELL1"},
                                                        {"..", "__"},
                                                        {"../x", "___x"},
                                                        {"..\\..\\x", "___.._x"},
                                                        {"a/b\\c", "a_b_c"},
                                                        {"C:x", "C_x"},
                                                        {"a*?<>|\"", "a______"},
                                                        {"a\x01\x1f\x7f", "a___"},
                                                        {"\xc3\xa4x", "__x"},
                                                        {" x ", "_x_"},
                                                        {"x.", "x_"},
                                                        {".hidden", "_hidden"},
                                                        {std::string("ab\0cd", 5), "ab"},
                                                        {"CON", "CON_"},
                                                        {"nul", "nul_"},
                                                        {"COM1", "COM1_"},
                                                        {"lpt0", "lpt0_"},
                                                        {"CONIN$", "CONIN$_"},
                                                        {"CLOCK$", "CLOCK$_"},
                                                        {"NUL.X", "NUL_.X"},
                                                        {"CON  .A", "CON_  .A"},
                                                        {"CONX", "CONX"},
                                                        {"COM10", "COM10"},
                                                        {"NULL", "NULL"}};
    for (const auto& [raw, want] : rows)
        CHECK(bif::sanitize_stem(raw) == want);
    // The output folder: the archive's name without its extension, made safe the same way.
    for (const auto& [archive, want] :
         {std::pair{".bif", "_"}, {"a.b.bif", "a.b"}, {"x", "x"}, {"a:b .bif", "a_b_"}, {"Größe Ä.bif", "Größe Ä"}})
        CHECK(bif::output_folder_name(archive) == want);
}

TEST_CASE("names the same after sanitising, or but for case, are numbered; an empty one goes by its locator")
{
    bif::gen::BiffPlan plan;
    bif::gen::KeyPlan k{{{"data\\TEST.bif", 0, 1}}, {}};
    for (bif::u32 i = 0; const char* name : {"x:y", "X_Y", "", "*", "?"}) {
        plan.files.push_back({i, 0x03F4, text(std::to_string(i))});
        k.resources.push_back({name, 0x03F4, i++});
    }
    Bytes key = bif::gen::build_key(k);
    auto got = extract_memory(TempDir("numbered").path / "TEST", bif::gen::build_biff(plan), &key);
    CHECK(got == std::map<std::string, Bytes>{{"x_y.2DA", text("0")},
                                              {"X_Y~2.2DA", text("1")},
                                              {"LOC00002.2DA", text("2")},
                                              {"_.2DA", text("3")},
                                              {"_~2.2DA", text("4")}});
}
}
