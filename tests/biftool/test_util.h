#pragma once
// Helpers of biftool's tests: scratch folders, archives from the shared writers, runs of the tool.
#include <filesystem>
#include <map>
#include <optional>

#include "extract.h"
#include "writer.h"

namespace bt {

namespace fs = std::filesystem;
using bif::gen::Bytes;

struct TempDir { // a fresh folder under the build tree, removed at the end of the test
    fs::path path;
    explicit TempDir(const std::string& name);
    ~TempDir() { fs::remove_all(path); }
};

Bytes text(const std::string&s), pattern(std::size_t n, unsigned seed), read_all(const fs::path&p);
void write_all(const fs::path& p, const Bytes& b);
std::vector<std::string> files_in(const fs::path& dir); // sorted names
bool contains(const std::string& hay, const std::string& needle);

// An archive and its index in memory, named as biftool does it, extracted into `out` made afresh.
bif::ExtractStats extract_into(const fs::path& out, const Bytes& archive, const Bytes* key = nullptr);
// The same through extract_chosen with `options` (threads, run size), each thread with a folder of its own.
bif::ExtractStats extract_with(const fs::path& out, const Bytes& archive, const bif::WriteOptions& options);
std::map<std::string, Bytes> extract_memory(const fs::path& out, const Bytes& archive, const Bytes* key = nullptr);

struct Run {
    int code;
    std::string out, err;
};
// The real biftool in folder cwd (out and err: its output), `prefix` before it ("ulimit -f 40 &&"),
// started through `wrapper` ("setpriv ... ").
Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix = "",
                const std::string& wrapper = "");
// The tool's command line run in this process, in folder cwd (its output a terminal or not).
Run run_in_process(const std::vector<std::string>& args, const fs::path& cwd, const bif::OutputOptions& options = {},
                   bool terminal = false);

// A small well-formed archive with files and tilesets, its index, and what extraction gives.
struct Sample {
    bif::gen::BiffPlan plan;
    bif::gen::KeyPlan key;
    Bytes biff;
    std::map<std::string, Bytes> expected;
};
Sample sample_archive(const std::string& bif_name = "data\\TEST.bif");
} // namespace bt
