// The index wherever the game keeps it, and names as the game gives them: small generated games
// listed through the command line.
#include <doctest.h>

#include <sstream>

#include "test_util.h"

using namespace bt;
using bif::gen::file_locator, bif::gen::tileset_locator, bif::gen::KeyPlan;

namespace {

// The names a listing shows, sorted.
std::vector<std::string> listed(const std::string& out)
{
    std::vector<std::string> names;
    std::istringstream in(out);
    bool table = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Total:", 0) == 0)
            break;
        if (table)
            names.push_back(line.substr(0, line.find(' ')));
        table = table || line.rfind("Name ", 0) == 0;
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An index whose BIF entry i names bifs[i] and gives that archive's file 0 the name PREFIXi.
Bytes key_naming(const std::vector<std::string>& bifs, const std::string& prefix)
{
    KeyPlan k;
    for (bif::u32 i = 0; i < bifs.size(); ++i) {
        k.bifs.push_back({bifs[i], 0, 1});
        k.resources.push_back({prefix + std::to_string(i), 0x03F4, file_locator(i, 0)});
    }
    return bif::gen::build_key(k);
}

const Bytes one_file = bif::gen::build_biff({{{file_locator(0, 0), 0x03F4, text("2DA")}}, {}});

} // namespace

TEST_SUITE("index") {
TEST_CASE("the index wherever the game keeps it, from the archive's folder and from elsewhere")
{
    struct Row {
        std::string archive;             // in the game folder
        std::vector<std::string> chitin; // BIF entries of game/chitin.key (none: no such file)
        std::vector<std::string> mod;    // of game/exp/mod.key
        std::vector<std::string> stray;  // of game/data/CHITIN.KEY, an index that lists other archives
        bool named;                      // --key names game/chitin.key, which lies elsewhere then
        std::vector<std::string> names;
        int code;
    };
    const std::vector<std::string> none;
    const Row rows[] = {
        {"data/X.bif", {"data\\X.bif"}, none, none, false, {"C0.2DA"}, 0},
        {"CD2/data/X.bif", {"data\\Y.bif", "data\\X.bif"}, none, none, false, {"C1.2DA"}, 0},
        {"cache/X.bif", {"data\\X.bif"}, none, none, false, {"C0.2DA"}, 0},
        {"lang/de_DE/data/X.bif", {"data\\X.bif"}, none, none, false, {"C0.2DA"}, 0},
        {"lang/de_DE/data/X.bif", {"data\\X.bif", "lang\\de_DE\\data\\X.bif"}, none, none, false, {"C1.2DA"}, 0},
        {"data/X.cbf", {"\\DATA\\x.BIF"}, none, none, false, {"C0.2DA"}, 0},
        {"data/X.bif", {"HD0:data:X.bif"}, none, none, false, {"C0.2DA"}, 0},
        {"data/X.bif", {"CD2\\data\\X.bif", "data\\X.bif"}, none, none, false, {"C1.2DA"}, 0},
        {"exp/data/X.bif", {"data\\X.bif"}, {"data\\X.bif"}, none, false, {"M0.2DA"}, 0},
        {"data/X.bif", {"data\\X.bif"}, none, {"data\\Other.bif"}, false, {"C0.2DA"}, 0},
        {"data/X.bif", {"data\\X.bif"}, none, none, true, {"C0.2DA"}, 0},
        // Same file name in two folders: the path decides, the file name only where no path matches.
        {"data/Snd.bif", {"CD2\\Snd.bif", "data\\Snd.bif"}, none, none, false, {"C1.2DA"}, 0},
        {"CD2/Snd.bif", {"CD2\\Snd.bif", "data\\Snd.bif"}, none, none, false, {"C0.2DA"}, 0},
        {"CD2/data/Snd.bif", {"CD2\\Snd.bif", "data\\Snd.bif"}, none, none, false, {"C1.2DA"}, 0},
        // Two cases of one path are one file to the game: both entries' resources are in it.
        {"data/Dup.bif", {"data\\Dup.bif", "DATA\\DUP.BIF"}, none, none, false, {"C0.2DA", "C1.2DA"}, 0},
        // No index, or one that does not list the archive.
        {"data/X.bif", none, none, none, false, {"LOC00000.2DA"}, 0},
        {"data/X.bif", {"data\\Other.bif"}, none, none, false, {"LOC00000.2DA"}, 4},
    };
    for (const Row& row : rows)
        for (bool elsewhere : {false, true}) {
            CAPTURE(row.archive + (elsewhere ? " from elsewhere" : "") + (row.named ? " --key" : ""));
            TempDir t("layout");
            const fs::path game = t.path / "game", archive = game / row.archive, out = t.path / "out";
            fs::create_directories(archive.parent_path()), fs::create_directories(out);
            write_all(archive, one_file);
            const fs::path chitin = row.named ? t.path / "keys" / "chitin.key" : game / "chitin.key";
            if (!row.chitin.empty())
                fs::create_directories(chitin.parent_path()), write_all(chitin, key_naming(row.chitin, "C"));
            if (!row.mod.empty())
                write_all(game / "exp" / "mod.key", key_naming(row.mod, "M"));
            if (!row.stray.empty())
                write_all(game / "data" / "CHITIN.KEY", key_naming(row.stray, "S"));
            std::vector<std::string> args{elsewhere ? "../game/" + row.archive : archive.filename().string()};
            if (row.named)
                args.insert(args.begin(), {"--key", chitin.string()});
            Run r = run_in_process(args, elsewhere ? out : archive.parent_path());
            CHECK(r.code == row.code);
            CHECK(listed(r.out) == row.names);
            CHECK(contains(r.err, row.code             ? "chitin.key does not list X.bif"
                                  : row.chitin.empty() ? "no chitin.key"
                                                       : ""));
        }
}

TEST_CASE("names and extensions as the index gives them")
{
    bif::gen::BiffPlan plan{{{file_locator(0, 0), 0x03EF, text("script")},
                             {file_locator(0, 1), 0x03E9, text("wed")},
                             {file_locator(0, 2), 0x0401, text("movie")},
                             {file_locator(0, 3), 0x03F4, text("table")}},
                            {{tileset_locator(0, 1), 4, text("tile")}}};
    KeyPlan key{{{"data\\TEST.bif", 0, 1}},
                {{"SCRIPTX", 0x03F9, file_locator(0, 0)}, // the index's type, not the archive's
                 {"AR0100", 0x03E9, file_locator(0, 1)},
                 {"BROKEN", 0x03EB, file_locator(0, 1)}, // a TIS with tileset index 0 names no file
                 {"AR0100", 0x03EB, tileset_locator(0, 1)},
                 {"ALIAS", 0x03E9, file_locator(0, 1)},  // a second name: a second file
                 {"ar0100", 0x03E9, file_locator(0, 1)}, // the same name again: one file
                 {"MOVIE", 0x0401, file_locator(0, 2)},
                 {"OLD", 0x03F4, file_locator(0, 3)}, // repeated later for another entry: it loses
                 {"OLD", 0x03F4, file_locator(0, 0)}}};
    Bytes k = bif::gen::build_key(key);
    const Bytes tis = [] {
        Bytes b = text("TIS V1  ");
        for (unsigned v : {1u, 4u, 0x18u, 64u})
            b.insert(b.end(), {static_cast<unsigned char>(v), 0, 0, 0});
        b.insert(b.end(), {'t', 'i', 'l', 'e'});
        return b;
    }();
    CHECK(extract_memory(TempDir("names").path / "TEST", bif::gen::build_biff(plan), &k) ==
          std::map<std::string, Bytes>{{"SCRIPTX.BS", text("script")},
                                       {"OLD.2DA", text("script")},
                                       {"AR0100.WED", text("wed")},
                                       {"ALIAS.WED", text("wed")},
                                       {"MOVIE.WBM", text("movie")},
                                       {"LOC00003.2DA", text("table")},
                                       {"AR0100.TIS", tis}});
    // The listing shows the type a name goes by.
    TempDir t("types");
    fs::create_directories(t.path / "data");
    write_all(t.path / "data" / "TEST.bif", bif::gen::build_biff(plan)), write_all(t.path / "chitin.key", k);
    Run r = run_in_process({"TEST.bif"}, t.path / "data");
    CHECK(contains(r.out, "SCRIPTX.BS    0x03F9"));
    CHECK(contains(r.out, "Total: 7 resources"));
}

TEST_CASE("an index that cannot be used: a note naming it and why, the archive listed and extracted all the same")
{
    Bytes good = key_naming({"data\\OTHER.bif", "data\\TEST.bif"}, "R");
    Bytes v11 = good, own_name = good, other_name = good;
    std::memcpy(&v11[4], "V1.1", 4);
    bif::put32(&own_name[24 + 12 + 4], 0xFFFFFF00);
    bif::put32(&other_name[24 + 4], 0xFFFFFF00);
    // An early demo's index: BIF entries of name offset, name length and location alone. Read as
    // today's entries, the name's length and location make an offset inside the file, and the
    // name's first bytes a length that runs past it.
    Bytes demo = text("KEY V1  ");
    const std::string name = "data\\a folder of a longer name\\TEST.bif";
    for (bif::u32 v : {1u, 1u, 24u, static_cast<bif::u32>(24 + 8 + name.size() + 1)})
        demo.insert(demo.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), 0, 0});
    for (int c : {32, 0, 0, 0, static_cast<int>(name.size() + 1), 0, 0, 0})
        demo.push_back(static_cast<unsigned char>(c));
    demo.insert(demo.end(), name.c_str(), name.c_str() + name.size() + 1);
    for (int c : {82, 48, 0, 0, 0, 0, 0, 0, 0xF4, 0x03, 0, 0, 0, 0}) // "R0", 2DA, locator 0
        demo.push_back(static_cast<unsigned char>(c));
    const std::tuple<Bytes, std::string, int> rows[] = {
        {v11, "chitin.key: not a game index biftool reads: it is a KEY of version \"V1.1\"", 4},
        {own_name, "chitin.key does not list TEST.bif (", 4},
        {own_name, "chitin.key: corrupt: the name of BIF entry 2", 4},
        {other_name, "", 0},
        {demo, "chitin.key: not a game index biftool reads: its BIF entries are 8 bytes long", 4},
        {text("KEY V1  \x05"), "chitin.key: not a game index: 9 bytes", 4}};
    for (const auto& [index, note, code] : rows) {
        CAPTURE(note);
        TempDir t("unusable");
        fs::create_directories(t.path / "data");
        write_all(t.path / "data" / "TEST.bif", one_file), write_all(t.path / "chitin.key", index);
        Run r = run_in_process({"TEST.bif"}, t.path / "data");
        CHECK(r.code == code);
        CHECK(contains(r.err, note));
        CHECK(listed(r.out) == std::vector<std::string>{code ? "LOC00000.2DA" : "R1.2DA"});
        r = run_in_process({"-extr", "TEST.bif"}, t.path / "data");
        CHECK(r.code == code);
        CHECK(files_in(t.path / "data" / "TEST") == listed(run_in_process({"TEST.bif"}, t.path / "data").out));
    }
    // Named outright: it must exist; unusable, it is noted as any other.
    TempDir t("named");
    write_all(t.path / "TEST.bif", one_file), write_all(t.path / "demo.key", demo);
    Run r = run_in_process({"--key", "none.key", "TEST.bif"}, t.path);
    CHECK((r.code == 2 && contains(r.err, "biftool: none.key: no such file")));
    r = run_in_process({"--key=demo.key", "TEST.bif"}, t.path);
    CHECK((r.code == 4 && contains(r.err, "demo.key: not a game index biftool reads")));
    CHECK(run_in_process({"TEST.bif", "--key"}, t.path).code == 1);
}
}
