// The modes beyond Vintrel's two command lines, through the command line on a generated game:
// archives in data\, CD2\data\ (compressed, as .cbf) and cache\, one the index lists but the game
// lacks.
#include <doctest.h>

#include <set>

#include <unistd.h>

#include "test_util.h"

using namespace bt;
using bif::gen::file_locator, bif::gen::tileset_locator;

namespace {

// The text key as IESDP publishes it, so that the fixture does not come from the code it checks.
const unsigned char published_key[64] = {0x88, 0xa8, 0x8f, 0xba, 0x8a, 0xd3, 0xb9, 0xf5, 0xed, 0xb1, 0xcf, 0xea, 0xaa,
                                         0xe4, 0xb5, 0xfb, 0xeb, 0x82, 0xf9, 0x90, 0xca, 0xc9, 0xb5, 0xe7, 0xdc, 0x8e,
                                         0xb7, 0xac, 0xee, 0xf7, 0xe0, 0xca, 0x8e, 0xea, 0xca, 0x80, 0xce, 0xc5, 0xad,
                                         0xb7, 0xc4, 0xd0, 0x84, 0x93, 0xd5, 0xf0, 0xeb, 0xc8, 0xb4, 0x9d, 0xcc, 0xaf,
                                         0xa5, 0x95, 0xba, 0x99, 0x87, 0xd2, 0x9d, 0xe3, 0x91, 0xba, 0x90, 0xca};
const std::string plain_table = "2DA V1.0\n*\n        HP    AC\nFIGHTER 10    5\nMAGE    4     9\n"
                                "a line long enough to pass the 64 bytes of the key\n";

Bytes encrypted(const std::string& plain)
{
    Bytes b{0xFF, 0xFF};
    for (std::size_t i = 0; i < plain.size(); ++i)
        b.push_back(static_cast<unsigned char>(plain[i] ^ published_key[i % 64]));
    return b;
}

struct Game {
    TempDir dir{"game"};
    fs::path root = dir.path / "Game";
    std::map<std::string, Bytes> files; // what the whole game extracts to, by file name
};

// data\MAIN.bif (BIFF): AR0100.ARE, AR0100.WED, CLASSES.2DA (encrypted), STATS.IDS, an unnamed 2DA;
// data\AREA.bif at CD2\data\AREA.cbf (BIFC): AR0100.TIS, AR0101.ARE, an unnamed 2DA of the same
// locator; data\TALK.bif in cache\ (BIF V1.0): two dialogues; data\GONE.bif nowhere.
Game make_game()
{
    Game g;
    bif::gen::KeyPlan key;
    key.bifs = {{"data\\MAIN.bif", 0, 1}, {"data\\AREA.bif", 0, 1}, {"data\\TALK.bif", 0, 1}, {"data\\GONE.bif", 0, 1}};
    bif::gen::BiffPlan main, area, talk;
    main.files = {{file_locator(0, 0), 0x03F2, pattern(300, 1)},
                  {file_locator(0, 1), 0x03E9, pattern(200, 2)},
                  {file_locator(0, 2), 0x03F4, encrypted(plain_table)},
                  {file_locator(0, 3), 0x03F0, text("IDS V1.0\n0 NONE\n")},
                  {file_locator(0, 9), 0x03F4, text("unnamed")}};
    area.files = {{file_locator(1, 0), 0x03F2, pattern(150, 3)}, {file_locator(1, 9), 0x03F4, text("also unnamed")}};
    area.tilesets = {{tileset_locator(1, 1), 5120, pattern(5120 * 2, 4)}};
    talk.files = {{file_locator(2, 0), 0x03F3, pattern(40000, 5)}, {file_locator(2, 1), 0x03F3, pattern(900, 6)}};
    key.resources = {{"AR0100", 0x03F2, file_locator(0, 0)},  {"AR0100", 0x03E9, file_locator(0, 1)},
                     {"CLASSES", 0x03F4, file_locator(0, 2)}, {"STATS", 0x03F0, file_locator(0, 3)},
                     {"AR0101", 0x03F2, file_locator(1, 0)},  {"AR0100", 0x03EB, tileset_locator(1, 1)},
                     {"HELLO", 0x03F3, file_locator(2, 0)},   {"BYE", 0x03F3, file_locator(2, 1)},
                     {"LOST", 0x03F4, file_locator(3, 0)}};
    fs::create_directories(g.root / "data"), fs::create_directories(g.root / "CD2" / "data"),
        fs::create_directories(g.root / "cache");
    write_all(g.root / "chitin.key", bif::gen::build_key(key));
    write_all(g.root / "data" / "MAIN.bif", bif::gen::build_biff(main));
    write_all(g.root / "CD2" / "data" / "AREA.cbf", bif::gen::compress_bifc(bif::gen::build_biff(area), 4096));
    write_all(g.root / "cache" / "TALK.bif", bif::gen::compress_bif_v10(bif::gen::build_biff(talk), "TALK.bif"));
    const char* names[] = {"AR0100.ARE", "AR0100.WED", "CLASSES.2DA", "STATS.IDS", "LOC00009.2DA"};
    for (int i = 0; i < 5; ++i)
        g.files[names[i]] = main.files[i].data;
    g.files["AR0101.ARE"] = area.files[0].data;
    g.files["LOC00009~2.2DA"] = area.files[1].data;
    Bytes tis = text("TIS V1  ");
    for (bif::u32 v : {2u, 5120u, 0x18u, 64u})
        tis.insert(tis.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), 0, 0});
    tis.insert(tis.end(), area.tilesets[0].data.begin(), area.tilesets[0].data.end());
    g.files["AR0100.TIS"] = tis;
    g.files["HELLO.DLG"] = talk.files[0].data;
    g.files["BYE.DLG"] = talk.files[1].data;
    return g;
}

std::vector<std::string> lines(const std::string& s)
{
    std::vector<std::string> v;
    for (std::size_t i = 0, j; i < s.size(); i = j + 1)
        v.push_back(s.substr(i, (j = std::min(s.find('\n', i), s.size())) - i));
    return v;
}

// A flat JSON object of strings, numbers and nulls, as the listing writes it; throws on anything else.
std::map<std::string, std::string> parse_json(const std::string& s)
{
    std::map<std::string, std::string> m;
    std::size_t i = 0;
    auto expect = [&](char c) {
        if (i >= s.size() || s[i++] != c)
            throw std::runtime_error("bad JSON at " + std::to_string(i) + ": " + s);
    };
    auto string = [&] {
        expect('"');
        std::string v;
        while (i < s.size() && s[i] != '"') {
            if (s[i] == '\\' && i + 1 < s.size())
                ++i;
            v += s[i++];
        }
        expect('"');
        return v;
    };
    expect('{');
    while (true) {
        std::string k = string();
        expect(':');
        std::string v;
        if (s[i] == '"')
            v = string();
        else
            while (i < s.size() && s[i] != ',' && s[i] != '}')
                v += s[i++];
        m[k] = v;
        if (s[i] == '}')
            break;
        expect(',');
    }
    CHECK(i + 1 == s.size());
    return m;
}

std::map<std::string, Bytes> read_folder(const fs::path& dir)
{
    std::map<std::string, Bytes> m;
    for (const auto& f : files_in(dir))
        m[f] = read_all(dir / f);
    return m;
}

} // namespace

TEST_SUITE("modes") {
TEST_CASE("the index's archives, and every resource of the game in both listing forms, parsed back")
{
    Game g = make_game();
    Run r = run_in_process({"--archives", "--format", "tsv"}, g.root / "data");
    CHECK(r.code == 3);
    std::vector<std::string> rows = lines(r.out);
    REQUIRE(rows.size() == 5);
    CHECK(rows[0] == "bif\tname\tsize\tpath");
    CHECK(rows[2] == "1\tdata\\AREA.bif\t" + std::to_string(fs::file_size(g.root / "CD2/data/AREA.cbf")) + "\t" +
                         (g.root / "CD2/data/AREA.cbf").string());
    CHECK(rows[3].ends_with("\t" + (g.root / "cache/TALK.bif").string()));
    CHECK(rows[4] == "3\tdata\\GONE.bif\t\t");

    // The same resources either way; sizes and names as extraction gives them.
    std::set<std::string> from_json, from_tsv;
    Run j = run_in_process({"--game", "--format=jsonl"}, g.root);
    CHECK(j.code == 3);
    CHECK(contains(j.err, "biftool: data\\GONE.bif: missing"));
    for (const std::string& line : lines(j.out)) {
        auto o = parse_json(line);
        CHECK(o.size() == 6);
        std::string file = o["name"] + "." + o["extension"];
        REQUIRE(g.files.count(file));
        CHECK(o["size"] == std::to_string(g.files[file].size()));
        from_json.insert(file + " " + o["type"] + " " + fs::path(o["archive"]).filename().string() + " " +
                         o["locator"]);
    }
    Run t = run_in_process({"--game", "--format", "tsv"}, g.root);
    rows = lines(t.out);
    CHECK(rows.front() == "name\textension\ttype\tsize\tarchive\tlocator");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string> f;
        for (std::size_t a = 0, b; a <= rows[i].size(); a = b + 1)
            f.push_back(rows[i].substr(a, (b = std::min(rows[i].find('\t', a), rows[i].size())) - a));
        REQUIRE(f.size() == 6);
        from_tsv.insert(f[0] + "." + f[1] + " " + f[2] + " " + fs::path(f[4]).filename().string() + " " + f[5]);
    }
    CHECK(from_json == from_tsv);
    CHECK(from_json.size() == g.files.size());
    CHECK(from_json.count("AR0100.TIS 1003 AREA.cbf " + std::to_string(tileset_locator(1, 1))));
    CHECK(from_json.count("LOC00009~2.2DA 1012 AREA.cbf " + std::to_string(file_locator(1, 9))));
    // Filters: types and patterns alternatives among themselves, both kinds together.
    t = run_in_process({"--game", "--format", "tsv", "--type", "ARE", "--type=0x3EB", "--name", "*01", "--name=ar0100"},
                       g.root);
    CHECK(lines(t.out).size() == 4);
    CHECK((contains(t.out, "AR0101\tARE") && contains(t.out, "AR0100\tTIS")));
}

TEST_CASE("extracting the whole game or a choice of it into one folder; nothing written elsewhere")
{
    Game g = make_game();
    const std::vector<std::string> game_files = files_in(g.root / "data");
    Run r = run_in_process({"--game", "-extr", "--out", "../mod"}, g.root / "data", {}, true);
    CHECK(r.code == 3); // GONE.bif
    CHECK(read_folder(g.root / "mod") == g.files);
    CHECK(contains(r.out, "Extracting 10 resources from 3 archives into ../mod/\n"));
    CHECK(contains(r.out, "\rExtracting: 10 of 10 files, 0.0 of 0.0 MiB (100%)\nExtracted 10 files"));
    CHECK(files_in(g.root / "data") == game_files);
    CHECK(read_folder(g.root / "cache").size() == 1);

    // A choice by pattern, every archive; off a terminal no progress line.
    r = run_in_process({"--game", "--name", "ar0100.*", "-extr", "--out", "ar"}, g.root);
    CHECK(r.code == 3);
    CHECK(files_in(g.root / "ar") == std::vector<std::string>{"AR0100.ARE", "AR0100.TIS", "AR0100.WED"});
    CHECK(!contains(r.out, "\r"));
    // A folder per archive on request.
    r = run_in_process({"--game", "--type", "2DA", "-extr", "--out", "each", "--per-archive"}, g.root);
    CHECK(files_in(g.root / "each") == std::vector<std::string>{"AREA", "MAIN"});
    CHECK(files_in(g.root / "each" / "AREA") == std::vector<std::string>{"LOC00009.2DA"});

    // The chosen folder a link: refused, nothing written through it.
    fs::create_directories(g.dir.path / "elsewhere");
    fs::create_directory_symlink(g.dir.path / "elsewhere", g.root / "link");
    for (const auto& args : {std::vector<std::string>{"--game", "-extr", "--out", "link"},
                             std::vector<std::string>{"-extr", "data/MAIN.bif", "--out", "link"}}) {
        r = run_in_process(args, g.root);
        CHECK(r.code == 2);
        CHECK(contains(r.err, "link: is a link to another place"));
    }
    CHECK(files_in(g.dir.path / "elsewhere").empty());
}

TEST_CASE("--out makes its folder and those above it; a file in the way or a locked folder said once")
{
    Game g = make_game();
    using names = std::vector<std::string>;
    CHECK(run_in_process({"-extr", "--out", "new/a/b", "data/MAIN.bif", "cache/TALK.bif"}, g.root).code == 0);
    CHECK(read_folder(g.root / "new/a/b").size() == 7);
    CHECK(
        run_in_process({"-extr", "--per-archive", "--out", "new/c", "data/MAIN.bif", "cache/TALK.bif"}, g.root).code ==
        0);
    CHECK(files_in(g.root / "new/c") == names{"MAIN", "TALK"});
    run_in_process({"--game", "-extr", "--type", "DLG", "--out", "../x/y"}, g.root / "data");
    CHECK(files_in(g.root / "x/y") == names{"BYE.DLG", "HELLO.DLG"});
    // A link the user names above the folder is followed, as mkdir -p does (the folder itself
    // may not be one: above).
    fs::create_directories(g.dir.path / "elsewhere");
    fs::create_directory_symlink(g.dir.path / "elsewhere", g.root / "link");
    CHECK(run_in_process({"-extr", "--type", "IDS", "--out", "link/sub/ids", "data/MAIN.bif"}, g.root).code == 0);
    CHECK(files_in(g.dir.path / "elsewhere/sub/ids") == names{"STATS.IDS"});

    // In the way: a file above the folder or as the folder; a folder that takes no new one. Each
    // said once for all the archives; nothing made.
    write_all(g.root / "file", text("x"));
    const std::pair<std::string, std::string> rows[] = {
        {"file/sub/dir", "cannot extract into it: " + (g.root / "file").string() + " is not a folder"},
        {"file", "cannot extract into it: it exists and is not a folder"}};
    for (const auto& [out, said] : rows) {
        Run r = run_in_process({"-extr", "--out", out, "data/MAIN.bif", "cache/TALK.bif"}, g.root);
        CHECK(r.code == 2);
        CHECK((r.out.empty() && r.err == "biftool: " + out + ": " + said + "\n"));
    }
    // As root (who may write anywhere) the tool runs as nobody, who must reach the game's folder.
    const std::string as_user = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    bool reachable = true;
    for (fs::path p = g.root; p != p.parent_path(); p = p.parent_path())
        reachable = reachable && (fs::status(p).permissions() & fs::perms::others_exec) != fs::perms::none;
    const auto read_only = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_exec;
    fs::create_directories(g.root / "locked"), fs::permissions(g.root / "locked", read_only);
    if (as_user.empty() || reachable) {
        Run r =
            run_biftool({"-extr", "--out", "locked/new/dir", "data/MAIN.bif", "cache/TALK.bif"}, g.root, "", as_user);
        CHECK(r.code == 2);
        CHECK(r.err == "biftool: locked/new/dir: cannot create the folder " + (g.root / "locked/new").string() +
                           ": Permission denied\n");
    } else {
        MESSAGE("not run as nobody: a folder above the test's cannot be searched by others");
    }
    CHECK(files_in(g.root / "locked").empty());
    fs::permissions(g.root / "locked", fs::perms::owner_all);
}

TEST_CASE("decryption on request, existing files kept on request, several archives with one summary")
{
    Game g = make_game();
    const fs::path out = g.dir.path / "tables";
    Run r = run_in_process({"-extr", "--type", "2DA,IDS", "--out", out.string(), "MAIN.bif"}, g.root / "data");
    CHECK(r.code == 0);
    CHECK(read_all(out / "CLASSES.2DA") == g.files["CLASSES.2DA"]); // raw bytes by default
    fs::remove_all(out);
    r = run_in_process({"-extr", "--decrypt", "--out", out.string(), "MAIN.bif"}, g.root / "data");
    CHECK(read_all(out / "CLASSES.2DA") == text(plain_table));
    CHECK(read_all(out / "STATS.IDS") == g.files["STATS.IDS"]); // plain already
    CHECK(read_all(out / "AR0100.ARE") == g.files["AR0100.ARE"]);

    // Kept: an edited file stays, the others are written.
    write_all(out / "CLASSES.2DA", text("my edit"));
    fs::remove(out / "STATS.IDS");
    r = run_in_process({"-extr", "--keep", "--out", out.string(), "MAIN.bif"}, g.root / "data");
    CHECK(r.code == 0);
    CHECK((contains(r.out, "Extracted 1 file, 16 bytes") && contains(r.out, "Kept 4 existing files unchanged")));
    CHECK(read_all(out / "CLASSES.2DA") == text("my edit"));
    CHECK(read_all(out / "STATS.IDS") == g.files["STATS.IDS"]);
    r = run_in_process({"-extr", "--out", out.string(), "MAIN.bif"}, g.root / "data");
    CHECK(read_all(out / "CLASSES.2DA") == g.files["CLASSES.2DA"]);

    // Several archives, one missing, into one folder: names unique across them, one summary.
    fs::remove_all(out);
    r = run_in_process({"-extr", "--out", out.string(), "data/MAIN.bif", "CD2/data/AREA.bif", "data/GONE.bif"}, g.root);
    CHECK(r.code == 3);
    CHECK(contains(r.err, "biftool: data/GONE.bif: no such file"));
    CHECK(contains(r.out, "Total: 2 of 3 archives, 8 files, "));
    CHECK(read_all(out / "LOC00009~2.2DA") == g.files["LOC00009~2.2DA"]);
    CHECK(read_folder(out).size() == 8);
    // Listing several: each archive's table; all missing is unusable.
    r = run_in_process({"data/MAIN.bif", "cache/TALK.bif"}, g.root);
    CHECK((r.code == 0 && contains(r.out, "MAIN.bif: BIFF V1") && contains(r.out, "TALK.bif: BIF V1.0")));
    CHECK(run_in_process({"A.bif", "B.bif"}, g.root).code == 2);
}
}
