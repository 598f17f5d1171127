#include "demo.h"

#include <cstdio>
#include <system_error>

#include "file.h"

namespace bif::gen {

namespace fs = std::filesystem;

Bytes demo_bitmap(int w, int h, u32 seed)
{
    const u32 row = static_cast<u32>((w * 3 + 3) & ~3);
    const u32 pixels = row * static_cast<u32>(h);
    Bytes b(54 + pixels, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(&b[2], static_cast<u32>(b.size()));
    put32(&b[10], 54);
    put32(&b[14], 40);
    put32(&b[18], static_cast<u32>(w));
    put32(&b[22], static_cast<u32>(h));
    put16(&b[26], 1);
    put16(&b[28], 24);
    put32(&b[34], pixels);
    put32(&b[38], 2835);
    put32(&b[42], 2835);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &b[54 + static_cast<u32>(y) * row + static_cast<u32>(x) * 3];
            int dx = x - w / 2, dy = y - h / 2;
            int ring = (dx * dx + dy * dy) / 12 + static_cast<int>(seed);
            p[0] = static_cast<unsigned char>(40 + (ring * 37) % 200); // blue
            p[1] = static_cast<unsigned char>(60 + (x * 180) / w);     // green
            p[2] = static_cast<unsigned char>(200 - (y * 150) / h);    // red
        }
    return b;
}

Bytes demo_tile(u32 seed)
{
    Bytes t(1024 + 64 * 64);
    for (u32 i = 0; i < 256; ++i) { // palette, BGRA
        t[i * 4 + 0] = static_cast<unsigned char>((i * 3 + seed * 20) & 0xFF);
        t[i * 4 + 1] = static_cast<unsigned char>((i * 2 + 40) & 0xFF);
        t[i * 4 + 2] = static_cast<unsigned char>(255 - i);
        t[i * 4 + 3] = 0;
    }
    for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x)
            t[1024 + y * 64 + x] = static_cast<unsigned char>(((x / 8 + y / 8 + seed) % 2) * 128 + (x ^ y) % 128);
    return t;
}

std::string demo_table(const std::string& title, int rows, u32 seed)
{
    static const char* const demo_words[] = {"AMBER", "BIRCH",  "CINDER", "DUSK",    "EMBER", "FERN",
                                             "GLOW",  "HAZEL",  "IVORY",  "JUNIPER", "KELP",  "LINEN",
                                             "MOSS",  "NETTLE", "OCHRE",  "PEBBLE"};
    Rng rng(seed);
    std::string s = "2DA V1.0\n0\n";
    s += "        NAME        COST   WEIGHT  # " + title + "\n";
    for (int r = 0; r < rows; ++r) {
        char line[128];
        std::snprintf(line, sizeof line, "%-7d %-11s %-6u %u\n", r, demo_words[rng.next() % 16],
                      static_cast<unsigned>(rng.next() % 500), static_cast<unsigned>(rng.next() % 40));
        s += line;
    }
    return s;
}

namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct Res {
    std::string name;
    u16 type;
    Bytes data;
};

// The demo game as it is written: its archives in data/, then the index naming them.
class DemoGame {
public:
    explicit DemoGame(const fs::path& out) : out_(out)
    {
        std::error_code ec;
        fs::create_directories(out / "data", ec);
        if (ec)
            throw Error(text_util::to_utf8(out / "data") + ": cannot create the folder: " + ec.message());
    }

    void add(const std::string& file, const std::string& format, const std::vector<Res>& files,
             const std::vector<Res>& tilesets, BiffPlan::Table table)
    {
        u32 bif = static_cast<u32>(key_.bifs.size());
        BiffPlan plan;
        plan.table = table;
        DemoArchive info{file, format, {}};
        for (std::size_t i = 0; i < files.size(); ++i) {
            u32 loc = file_locator(bif, static_cast<u32>(i));
            plan.files.push_back({loc, files[i].type, files[i].data});
            key_.resources.push_back({files[i].name, files[i].type, loc});
            info.resources.push_back(files[i].name);
        }
        for (std::size_t i = 0; i < tilesets.size(); ++i) {
            u32 loc = tileset_locator(bif, static_cast<u32>(i + 1));
            plan.tilesets.push_back({loc, 5120, tilesets[i].data});
            key_.resources.push_back({tilesets[i].name, 0x03EB, loc});
            info.resources.push_back(tilesets[i].name);
        }
        Bytes biff = build_biff(plan);
        Bytes disk = format == "BIFC V1.0"  ? compress_bifc(biff, 4096)
                     : format == "BIF V1.0" ? compress_bif_v10(biff, file)
                                            : biff;
        write_file(out_ / "data" / file, disk);
        key_.bifs.push_back({"data\\" + file, static_cast<u32>(disk.size()), 1});
        made_.push_back(info);
    }

    std::vector<DemoArchive> finish()
    {
        write_file(out_ / "chitin.key", build_key(key_));
        return made_;
    }

private:
    fs::path out_;
    KeyPlan key_;
    std::vector<DemoArchive> made_;
};

Bytes demo_tileset()
{
    Bytes tis;
    for (u32 i = 0; i < 6; ++i) {
        Bytes t = demo_tile(i);
        tis.insert(tis.end(), t.begin(), t.end());
    }
    return tis;
}

} // namespace

std::vector<DemoArchive> write_demo_game(const fs::path& out)
{
    DemoGame game(out);
    game.add("DEMOMAIN.bif", "BIFF V1",
             {{"LANTERNS", 0x03F4, text(demo_table("lanterns of the demo town", 12, 1))},
              {"RIVERS", 0x03F4, text(demo_table("rivers of the demo map", 7, 2))},
              {"DEMOSTAT", 0x03F0, text("IDS V1.0\n0 STILL\n1 WALKING\n2 RESTING\n3 SINGING\n")},
              {"DEMOLOGO", 0x0001, demo_bitmap(32, 24, 3)}},
             {}, BiffPlan::Table::Front);
    game.add("DEMOTILE.bif", "BIFF V1", {{"DEMOAREA", 0x03F4, text(demo_table("tiles of the demo area", 6, 4))}},
             {{"DEMOAREA", 0x03EB, demo_tileset()}}, BiffPlan::Table::End);
    game.add("DEMOPACK.bif", "BIFC V1.0",
             {{"SONGS", 0x03F4, text(demo_table("songs of the demo bard", 40, 5))},
              {"DEMOMAP", 0x0001, demo_bitmap(64, 48, 6)},
              {"GREETING", 0x0409, text("-- a greeting of the demo game\nprint(\"Welcome to the Vintrel demo\")\n")}},
             {}, BiffPlan::Table::Front);
    game.add("DEMOZLIB.bif", "BIF V1.0",
             {{"WEATHER", 0x03F4, text(demo_table("weather of the demo valley", 20, 7))},
              {"DEMOSKY", 0x0001, demo_bitmap(48, 16, 8)}},
             {}, BiffPlan::Table::Middle);
    return game.finish();
}

} // namespace bif::gen
