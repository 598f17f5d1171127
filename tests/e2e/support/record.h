#pragma once
// What the recording stand-in for biftool.exe wrote about each time it was started.
#include <string>
#include <vector>

namespace e2e {

struct Start {
    std::string command;
    // The show mode the starter asked for, or "none" when it did not say.
    std::string show;
    std::string folder;
};

// One line a start: command TAB show TAB folder.
std::vector<Start> read_record(const std::string& path);

} // namespace e2e
