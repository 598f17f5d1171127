#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::win32 {

// Every entry of the folder with its long name and the attributes the list filters on.
std::vector<FileEntry> read_folder(const std::string& folder);

} // namespace platform::win32
