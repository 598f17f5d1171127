#pragma once
// Files of the writers (demo game, tests, benchmark) named with std::filesystem paths: UTF-8 text to
// and from paths, and a C stream owned. biftool itself names files by UTF-8 strings.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common.h"

namespace bif::text_util {

namespace fs = std::filesystem;

fs::path from_utf8(const std::string& s);
std::string to_utf8(const fs::path& p);

// A C stream, closed with its owner; close() reports a failed close (a delayed write error).
class File {
public:
    File(const fs::path& p, const char* mode); // any letters in the path; check with ok() and errno
    ~File() { close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool ok() const { return f_ != nullptr; }
    std::FILE* get() const { return f_; }
    bool seek(u64 off);
    bool close();

private:
    std::FILE* f_;
};

} // namespace bif::text_util
