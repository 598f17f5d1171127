#pragma once
// The command line turned into one structure: what to do (the mode) and how. Each mode is run by a
// function of its own (modes.h); every one chooses resources through `filter`.
#include <optional>
#include <string>
#include <vector>

#include "filter.h"
#include "listing.h"

namespace bif {

enum class Mode {
    help,
    version,
    list,          // biftool ARCHIVE...
    extract,       // biftool -extr ARCHIVE...
    list_archives, // biftool --archives
    list_game,     // biftool --game
    extract_game,  // biftool --game -extr
};

struct Options {
    Mode mode = Mode::list;
    std::vector<std::string> archives;
    Filter filter;
    ListFormat format = ListFormat::table;
    std::optional<std::string> index; // --key FILE: the game's index, named outright
    std::optional<std::string> out;   // --out FOLDER: where extraction writes
    bool per_archive = false;         // --per-archive: a folder per archive inside it
    bool decrypt = false;             // --decrypt
    bool keep = false;                // --keep
};

// The options, or a usage error in `problem`.
Options parse_options(const std::vector<std::string>& args, std::string& problem);

std::string usage_text();
std::string help_text();

} // namespace bif
