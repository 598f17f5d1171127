#pragma once
#include <string>
#include <string_view>

namespace platform::win32 {

// The path without a leading "\\?\": "\\?\C:\x" becomes "C:\x" and "\\?\UNC\server\share"
// becomes "\\server\share". Other paths come back as they are.
std::wstring plain_path(std::wstring_view path);

// A drive or network path too long for the plain form, with the "\\?\" that lifts the limit on
// every Windows; a shorter one as it is.
std::wstring extended_path(std::wstring_view path);

// True where a path is short enough for what keeps the old length limit on every Windows: the
// program and the working folder of a new process.
bool fits_old_limit(std::wstring_view path);

// The short form of an existing path, plain; empty where the system cannot give one.
std::wstring short_path(std::wstring_view path);

} // namespace platform::win32
