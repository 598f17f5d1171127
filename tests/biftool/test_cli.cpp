// The command line as Vintrel and users use it.
#include <doctest.h>
#include <sys/stat.h>

#include "test_util.h"

using namespace bt;

TEST_SUITE("cli") {
TEST_CASE("listing; the index looked for above the archive, then above the working folder")
{
    // Paths with blanks and non-ASCII letters; the archive lies apart from the game.
    TempDir t("lookup");
    Sample s = sample_archive("data\\Größe Ä.bif");
    const fs::path game = t.path / "Spiel Ü", data = game / "data", loose = t.path / "loose";
    fs::create_directories(data), fs::create_directories(loose);
    write_all(loose / "Größe Ä.bif", s.biff);
    Run r = run_in_process({"-extr", "../../loose/Größe Ä.bif"}, data);
    CHECK(fs::exists(loose / "Größe Ä" / "LOC00007.2DA"));
    CHECK(contains(r.err, "note: no chitin.key or mod.key found"));
    write_all(game / "CHITIN.KEY", bif::gen::build_key(s.key)); // any case
    r = run_in_process({"../../loose/Größe Ä.bif"}, data);
    CHECK(contains(r.out, "Größe Ä.bif: BIFF V1, 4 files, 2 tilesets"));
    CHECK(contains(r.out, "AR0200.TIS    0x03EB         15384       3"));
    s.key.resources[2].resref = "FIRST"; // TABLE
    write_all(t.path / "chitin.key", bif::gen::build_key(s.key));
    CHECK(contains(run_in_process({"../../loose/Größe Ä.bif"}, data).out, "FIRST.2DA"));
    // The index says OTHER.bif; the disk holds OTHER.cbf (its one resource there: ELSEWH).
    write_all(loose / "OTHER.cbf", bif::gen::compress_bif_v10(s.biff, "OTHER.bif"));
    CHECK(contains(run_in_process({"-extr", "OTHER.bif"}, loose).out, "OTHER.cbf: BIF V1.0 (zlib)"));
    CHECK(fs::exists(loose / "OTHER" / "ELSEWH.2DA"));
}

TEST_CASE("usage errors exit 1; unusable input exits 2 with a message naming the file")
{
    TempDir t("errors");
    fs::create_directories(t.path / "data" / "DIR.bif"), ::mkfifo((t.path / "data" / "FIFO.bif").c_str(), 0600);
    write_all(t.path / "data" / "JUNK.bif", text("this is not an archive at all"));
    write_all(t.path / "data" / "TEST.bif", sample_archive().biff);
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{}, "no archive given"},
        {{"-x"}, "unknown option -x"},
        {{"--type=2DA,XYZ", "TEST.bif"}, "unknown resource type \"XYZ\""},
        {{"TEST.bif", "--name"}, "--name needs a value"},
        {{"--keep", "TEST.bif"}, "go with -extr"},
        {{"--game", "TEST.bif"}, "--game takes no archive"},
        {{""}, "empty archive name"},
        {{"--help", "TEST.bif"}, "stand alone"},
        {{"MISSING.bif"}, "biftool: MISSING.bif: no such file"},
        {{"--game"},
         "biftool: no chitin.key found in the current folder or the one above; give the game's index "
         "with --key"},
        {{"JUNK.bif"}, "biftool: JUNK.bif: not a BIF archive"},
        {{"DIR.bif"}, "biftool: DIR.bif: is a folder, not a file"},
        {{"-extr", "FIFO.bif"}, "biftool: FIFO.bif: is a FIFO, not a file"}};
    for (const auto& [args, message] : rows) {
        CAPTURE(message);
        Run r = run_in_process(args, t.path / "data");
        CHECK(r.code == (contains(message, "biftool") ? 2 : 1));
        CHECK(contains(r.err, message));
    }
    CHECK(files_in(t.path / "data") == std::vector<std::string>{"DIR.bif", "FIFO.bif", "JUNK.bif", "TEST.bif"});
    CHECK(contains(run_biftool({"--help"}, t.path).out, "3  some resources are damaged or could not be written"));
    CHECK(run_biftool({"--version"}, t.path).out == "biftool 1.00\n");
}

TEST_CASE("after \"--\" an archive may be named like an option; extracting nothing at all exits 2")
{
    TempDir t("dashes");
    write_all(t.path / "-extr", sample_archive().biff);
    Run r = run_in_process({"--", "-extr"}, t.path);
    CHECK(r.code == 0);
    CHECK(contains(r.out, "-extr: BIFF V1, 4 files, 2 tilesets"));
    Bytes damaged = bif::gen::build_biff({{{0, 0x03F4, text("x")}}, {}});
    bif::put32(&damaged[20 + 8], 0x7FFFFFF0);
    write_all(t.path / "DAMAGED.bif", damaged);
    r = run_in_process({"-extr", "DAMAGED.bif"}, t.path);
    CHECK(r.code == 2);
    CHECK(contains(r.err, "1 of 1 resources could not be extracted"));
}
}
