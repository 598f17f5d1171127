#pragma once
// Paths as the tool keeps them, UTF-8 strings, taken apart and put together by their separators
// ('/', and on Windows also '\' and a drive's ':').
#include <string>

namespace bif::paths {

// "data/AREA.bif" -> "data", "AREA.bif" -> "", "/x" -> "/".
std::string folder_of(const std::string& path);
// "data/AREA.bif" -> "AREA.bif".
std::string name_of(const std::string& path);
std::string join(const std::string& folder, const std::string& name);

} // namespace bif::paths
