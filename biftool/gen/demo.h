#pragma once
// The demo game: a tiny, wholly synthetic game folder (chitin.key and data/*.bif) that shows
// Vintrel and biftool at work without any copyrighted game data.
#include <filesystem>
#include <string>
#include <vector>

#include "writer.h"

namespace bif::gen {

struct DemoArchive {
    std::string file_name;              // "DEMOMAIN.bif"
    std::string format;                 // "BIFF V1", ...
    std::vector<std::string> resources; // "LANTERNS.2DA", ...
};

// Writes out/chitin.key and out/data/*.bif (creating the folders) and describes what it wrote.
std::vector<DemoArchive> write_demo_game(const std::filesystem::path& out);

// Building blocks, also used by the tests.
Bytes demo_bitmap(int width, int height, u32 seed);                   // 24-bit BMP
Bytes demo_tile(u32 seed);                                            // one 64x64 palette tile (5120 bytes)
std::string demo_table(const std::string& title, int rows, u32 seed); // a 2DA text table

} // namespace bif::gen
