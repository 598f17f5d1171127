#pragma once
// What the modes share: exit codes, the choice of resources, names unique in one output folder,
// the report of an extraction and the progress line on a terminal.
#include <chrono>
#include <string>
#include <unordered_map>
#include <vector>

#include "extract.h"
#include "filter.h"
#include "options.h"
#include "tool.h"

namespace bif {

constexpr int exit_done = 0, exit_usage = 1, exit_unusable = 2, exit_some_skipped = 3, exit_unnamed = 4;
constexpr std::size_t shown_errors = 10;

// The exit status of several archives: 0 when each went well, 4 when each did but some under LOC
// names, 2 when none could be used at all, else 3.
class ExitStatus {
public:
    void add(int code)
    {
        ++parts_;
        all_ok_ = all_ok_ && (code == exit_done || code == exit_unnamed);
        any_unnamed_ = any_unnamed_ || code == exit_unnamed;
        all_unusable_ = all_unusable_ && code == exit_unusable;
        last_ = code;
    }
    int code() const
    {
        return parts_ == 1               ? last_
               : all_ok_                 ? (any_unnamed_ ? exit_unnamed : exit_done)
               : all_unusable_ && parts_ ? exit_unusable
                                         : exit_some_skipped;
    }

private:
    std::size_t parts_ = 0;
    bool all_ok_ = true, all_unusable_ = true, any_unnamed_ = false;
    int last_ = exit_done;
};

// The planned entries the filter accepts, in table order.
Selection choose(const Archive& archive, const Plan& plan, const Filter& filter);

// Names taken in one output folder by earlier archives (ignoring case): a later resource of the
// same name is numbered, "NAME~2.EXT". Names are kept as 64-bit hashes: a name that merely shares
// one is numbered when it need not be, never given twice.
class FolderNames {
public:
    void claim(Selection& chosen);

private:
    std::unordered_map<u64, u32> taken_; // hash of the lower-case name: next number to try
};

// The output folder of --out FOLDER, the folders above it made where missing.
OutputPlace chosen_place(const std::string& out);
// Reports the outcome of an extraction and gives its exit status.
int report_extraction(const ExtractStats& st, std::size_t planned, const std::string& shown, bool keep, ToolIo& io);
// The first few damaged entries' problems; how many there are.
std::size_t report_damaged(const Selection& chosen, ToolIo& io);

// "Extracting: 1200 of 5000 files, 10.0 of 40.0 MiB (25%)", rewritten in place at most ten times a
// second; only on a terminal.
class ProgressLine {
public:
    ProgressLine(ToolIo& io, u64 files, u64 bytes) : io_(io), files_(files), bytes_(bytes) {}
    void show(u64 files, u64 bytes, bool final);

private:
    ToolIo& io_;
    u64 files_, bytes_;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace bif
