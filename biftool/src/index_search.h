#pragma once
// Finding the game's index for an archive wherever the game keeps it: the nearest "chitin.key" (or
// an expansion's "mod.key"), in any case, at or above the archive's folder that lists the archive,
// or the one the user names. Installs keep archives in data\, CD2\data\, cache\ or
// lang\xx_XX\data\ under one index.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "key.h"

namespace bif {

struct FoundIndex {
    std::string path;         // the index whose names are used; "" when none
    std::unique_ptr<Key> key; // null when none
    std::vector<u32> bifs;    // the archive's BIF entries in it (several only when they differ by case)
    // Why the resources are named after their locators; "" when the index names them.
    std::string note;
    // An index was found or named but does not name the archive (does not list it, or cannot be
    // read): the exit status says so.
    bool unusable = false;
};

// The index for the archive at `archive_path`. A `named_index` is the only one tried, and must
// exist (else Error). Without one, each folder from the archive's up to the root is tried, then
// the folder above the current one (where an archive lies apart from its game).
FoundIndex find_index(const std::string& archive_path, const std::optional<std::string>& named_index);

// The index files in a folder, "chitin.key" before "mod.key", each in whatever case it has.
std::vector<std::string> indexes_in(const std::string& folder);

} // namespace bif
