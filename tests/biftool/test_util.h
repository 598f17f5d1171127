#pragma once
// Helpers of biftool's tests: scratch folders, game folders built with the shared writers, and
// running the library or the real biftool program on them.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archive.h"
#include "key.h"
#include "names.h"
#include "writer.h"

namespace bt {

namespace fs = std::filesystem;
using bif::gen::Bytes;

// A fresh folder under the build tree, removed again at the end of the test.
struct TempDir {
  fs::path path;
  explicit TempDir(const std::string& name);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
};

Bytes text(const std::string& s);
Bytes pattern(std::size_t n, unsigned seed);
Bytes read_all(const fs::path& p);
void write_all(const fs::path& p, const Bytes& b);
std::vector<std::string> files_in(const fs::path& dir);  // sorted names

// What the library makes of an archive (and optionally an index) held in memory.
struct Listing {
  std::string format;
  std::vector<std::string> names;         // planned file names, table order
  std::vector<bif::Entry> entries;        // same order
};
Listing list_memory(const Bytes& archive, const Bytes* key = nullptr, const std::string& archive_name = "TEST.bif");

// Extracts with the library into dir/<stem>/ and returns name -> contents.
std::map<std::string, Bytes> extract_memory(const fs::path& dir, const Bytes& archive, const Bytes* key = nullptr,
                                            const std::string& archive_name = "TEST.bif");

// A result of running the real biftool program.
struct Run {
  int code = -1;
  std::string out, err;
};
// Runs biftool with the arguments in folder cwd; `prefix` is put before the command in the shell
// (e.g. "ulimit -f 40;").
Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix = "");
// In-process run of the command line (faster; paths must be absolute).
Run run_tool(const std::vector<std::string>& args);

bool contains(const std::string& hay, const std::string& needle);

// A small well-formed archive of each kind, and its index, used by many tests.
struct Sample {
  bif::gen::BiffSpec plan;
  bif::gen::KeySpec key;
  Bytes biff;
  std::map<std::string, Bytes> expected;  // file name -> contents after extraction
};
Sample sample_archive(const std::string& bif_name = "data\\TEST.bif");

void write_fuzz_seeds(const fs::path& dir);

}  // namespace bt
