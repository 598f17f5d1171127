#pragma once
// Finding the archives an index lists, from the index's folder: where the index says (its path,
// separators '\', '/' and ':', any case, "X.cbf" for "X.bif"), else where installs keep them under
// the same index: cache\, CD1\ to CD9\ and lang\xx_XX\, each with the index's path, with the
// archive in data\ or directly in it.
#include <optional>
#include <string>
#include <string_view>

namespace bif {

// The archive's path, or nothing when it is in none of those places.
std::optional<std::string> locate_archive(const std::string& index_folder, std::string_view entry_name);

// The game's index for the game modes: `named` when given, else chitin.key (or mod.key) in the
// current folder, then in the one above (a command prompt in the game's data folder). "" when
// there is none.
std::string game_index(const std::optional<std::string>& named);

} // namespace bif
