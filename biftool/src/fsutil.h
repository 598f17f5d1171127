#pragma once
// The boundary between the tool's UTF-8 strings and the operating system's file names: on Windows
// every name goes through UTF-16, elsewhere the bytes are used as they are.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "common.h"

namespace bif::fsx {

namespace fs = std::filesystem;

fs::path from_utf8(const std::string& s);
std::string to_utf8(const fs::path& p);

// fopen with a path that may hold any letters; nullptr and errno on failure.
std::FILE* open(const fs::path& p, const char* mode);
bool seek(std::FILE* f, u64 off);

// Text of the last C runtime error (errno).
std::string last_error();

bool iequals(std::string_view a, std::string_view b);
std::string lower(std::string s);
std::string upper(std::string s);

}  // namespace bif::fsx
