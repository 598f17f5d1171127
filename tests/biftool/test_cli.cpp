// The command line as Vintrel and users use it, run as a real process.
#include <doctest.h>

#include "test_util.h"

using namespace bt;

namespace {
void make_game(const fs::path& root, const Sample& s, const std::string& disk_name, const Bytes& archive) {
  fs::create_directories(root / "data");
  write_all(root / "data" / disk_name, archive);
  write_all(root / "chitin.key", bif::gen::build_key(s.key));
}
}  // namespace

TEST_SUITE("cli") {
  TEST_CASE("--help, --version, usage errors") {
    TempDir t("usage");
    Run r = run_biftool({"--help"}, t.path);
    CHECK(r.code == 0);
    CHECK(contains(r.out, "Usage: biftool ARCHIVE"));
    r = run_biftool({"--version"}, t.path);
    CHECK(r.code == 0);
    CHECK(r.out == "biftool 1.00\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"-x"}, {"-extr"}, {"a.bif", "b.bif"}, {"-extr", "a", "b"}, {"--list", "a"}, {""}}) {
      r = run_biftool(args, t.path);
      CHECK(r.code == 1);
      CHECK(contains(r.err, "Usage: biftool"));
    }
  }

  TEST_CASE("as Vintrel starts it: bare archive name, working folder = archive folder, index one up") {
    TempDir t("vintrel");
    Sample s = sample_archive();
    make_game(t.path, s, "TEST.bif", s.biff);
    Run r = run_biftool({"TEST.bif"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(r.err == "");
    CHECK(contains(r.out, "TEST.bif: BIFF V1, 4 files, 2 tilesets"));
    CHECK(contains(r.out, "chitin.key (BIF entry 1)"));
    CHECK(contains(r.out, "TABLE.2DA     0x03F4"));
    CHECK(contains(r.out, "AR0200.TIS    0x03EB         15384       3"));
    CHECK(contains(r.out, "Total: 6 resources, "));
    r = run_biftool({"-extr", "TEST.bif"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(contains(r.out, "Extracting 6 resources into TEST/"));
    CHECK(contains(r.out, "Extracted 6 files, "));
    std::map<std::string, Bytes> got;
    for (const auto& n : files_in(t.path / "data" / "TEST")) got[n] = read_all(t.path / "data" / "TEST" / n);
    CHECK(got == s.expected);
  }

  TEST_CASE("a path with blanks and non-ASCII letters, given from elsewhere") {
    TempDir t("paths");
    Sample s = sample_archive("data\\Größe Ä.bif");
    fs::path root = t.path / "My Game Ü";
    make_game(root, s, "Größe Ä.bif", s.biff);
    Run r = run_biftool({"-extr", "My Game Ü/data/Größe Ä.bif"}, t.path);
    CHECK(r.code == 0);
    CHECK(fs::exists(root / "data" / "Größe Ä" / "TABLE.2DA"));
  }

  TEST_CASE("the index in the current folder's parent when the archive lies elsewhere") {
    TempDir t("cwd");
    Sample s = sample_archive();
    fs::create_directories(t.path / "game" / "data");
    fs::create_directories(t.path / "loose");
    write_all(t.path / "loose" / "TEST.bif", s.biff);
    write_all(t.path / "game" / "chitin.key", bif::gen::build_key(s.key));
    Run r = run_biftool({"../../loose/TEST.bif"}, t.path / "game" / "data");
    CHECK(r.code == 0);
    CHECK(contains(r.out, "TABLE.2DA"));
    // Without any index the resources keep locator names, with a note.
    r = run_biftool({"TEST.bif"}, t.path / "loose");
    CHECK(r.code == 0);
    CHECK(contains(r.out, "LOC00007.2DA"));
    CHECK(contains(r.err, "note: no chitin.key found"));
  }

  TEST_CASE("CHITIN.KEY in another case, x.cbf for x.bif") {
    TempDir t("case");
    Sample s = sample_archive();
    fs::create_directories(t.path / "data");
    write_all(t.path / "CHITIN.KEY", bif::gen::build_key(s.key));
    write_all(t.path / "data" / "TEST.cbf", bif::gen::compress_bif_v10(s.biff, "TEST.bif"));
    Run r = run_biftool({"TEST.bif"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(contains(r.out, "TEST.cbf: BIF V1.0 (zlib)"));
    CHECK(contains(r.out, "PICTURE.BMP"));
    r = run_biftool({"-extr", "TEST.cbf"}, t.path / "data");
    CHECK(r.code == 0);
    CHECK(fs::exists(t.path / "data" / "TEST" / "PICTURE.BMP"));
  }

  TEST_CASE("errors name the file and exit 2") {
    TempDir t("errors");
    Run r = run_biftool({"MISSING.bif"}, t.path);
    CHECK(r.code == 2);
    CHECK(contains(r.err, "MISSING.bif: no such file"));
    write_all(t.path / "JUNK.bif", text("this is not an archive at all"));
    r = run_biftool({"-extr", "JUNK.bif"}, t.path);
    CHECK(r.code == 2);
    CHECK(contains(r.err, "biftool: JUNK.bif: not a BIF archive"));
    CHECK_FALSE(fs::exists(t.path / "JUNK"));
    fs::create_directories(t.path / "DIR.bif");
    r = run_biftool({"DIR.bif"}, t.path);
    CHECK(r.code == 2);
    CHECK(contains(r.err, "DIR.bif"));
  }

  TEST_CASE("the demo game lists and extracts") {
    TempDir t("demo");
    std::string cmd = std::string("'") + BIFDEMO_EXE + "' '" + (t.path / "game").string() + "' >/dev/null";
    REQUIRE(std::system(cmd.c_str()) == 0);
    CHECK(fs::exists(t.path / "game" / "chitin.key"));
    for (const char* a : {"DEMOMAIN.bif", "DEMOTILE.bif", "DEMOPACK.bif", "DEMOZLIB.bif"}) {
      Run r = run_biftool({a}, t.path / "game" / "data");
      CHECK_MESSAGE(r.code == 0, a);
      CHECK(!contains(r.out, "LOC"));
      CHECK(r.err == "");
      r = run_biftool({"-extr", a}, t.path / "game" / "data");
      CHECK_MESSAGE(r.code == 0, a);
    }
    CHECK(fs::file_size(t.path / "game" / "data" / "DEMOTILE" / "DEMOAREA.TIS") == 24 + 6 * 5120);
    CHECK(fs::exists(t.path / "game" / "data" / "DEMOMAIN" / "LANTERNS.2DA"));
    CHECK(fs::exists(t.path / "game" / "data" / "DEMOPACK" / "DEMOMAP.BMP"));
    CHECK(fs::exists(t.path / "game" / "data" / "DEMOZLIB" / "WEATHER.2DA"));
  }
}
