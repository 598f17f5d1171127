#pragma once
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "main_window/frm_main.h"

// A fake machine with the program in a game's data folder holding the given files, biftool.exe among them.
inline fake::Platform game_folder(const std::vector<std::string>& bif_names, const std::string& folder = "C:\\Game\\data")
{
    fake::Platform p;
    p.facts.folder = folder;
    auto& entries = p.folders[folder];
    for (const auto& name : bif_names)
        entries.push_back({name});
    entries.push_back({"biftool.exe"});
    p.startable.push_back(folder + "\\biftool.exe"); // as the program names it, even after a drive root
    return p;
}
