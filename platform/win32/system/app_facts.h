#pragma once
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform::win32 {

// The folder part of a program's full path, without a "\\?\" before it: no trailing backslash,
// except at a drive root.
std::wstring folder_of(std::wstring_view program_path);

// The running program's full path, however long; the buffer starts at the given size and grows.
std::wstring program_path(std::size_t first_size = 260);

// Title, folder and version of the running program.
AppFacts read_app_facts();

} // namespace platform::win32
