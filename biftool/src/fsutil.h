#pragma once
// The boundary between the tool's UTF-8 strings and the operating system's file names: on Windows
// every name goes through UTF-16 (_wfopen, MoveFileExW), elsewhere the bytes are used as they are.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common.h"

namespace bif::fsx {

namespace fs = std::filesystem;

fs::path from_utf8(const std::string& s);
std::string to_utf8(const fs::path& p);

// fopen with a path that may hold any letters; nullptr and errno on failure.
std::FILE* open(const fs::path& p, const char* mode);
bool seek(std::FILE* f, u64 off);
// Size of a regular file, or throws Error naming it.
u64 size_of(std::FILE* f, const std::string& display);

// Replaces `to` by `from` (atomically where the system allows); false and a reason on failure.
bool rename_replace(const fs::path& from, const fs::path& to, std::string& why);
// Removes a file, ignoring any failure (used to clean up temporary files).
void remove_quietly(const fs::path& p);

// Looks for a file named `name` in `dir`, first exactly, then ignoring ASCII case (Linux folders
// copied from a Windows game may spell "CHITIN.KEY"). Empty path when there is none.
fs::path find_file_nocase(const fs::path& dir, const std::string& name);

// Text of the last C runtime error (errno).
std::string last_error();

bool iequals(const std::string& a, const std::string& b);
std::string lower(std::string s);
std::string upper(std::string s);

}  // namespace bif::fsx
