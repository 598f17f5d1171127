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

// A C stream, closed with its owner; close() reports a failed close (a delayed write error).
class File {
 public:
  File(const fs::path& p, const char* mode);  // any letters in the path; check with ok() and errno
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

// Text of the last C runtime error (errno).
std::string last_error();

bool iequals(std::string_view a, std::string_view b);
std::string lower(std::string s);
std::string upper(std::string s);

}  // namespace bif::fsx
