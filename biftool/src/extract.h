#pragma once
// Writing chosen resources of archives whose entries have been named (names.h) into an output
// folder: the safe output of output.h, a check of free space for all that is chosen, and the
// clean-up of what killed runs left.
#include <atomic>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive.h"
#include "names.h"
#include "output.h"
#include "text_sink.h"

namespace bif {

// The resources chosen of one archive, with the file names they get. Names are made when asked
// for, from the plan, so that memory follows the archive's table even for a million entries; only
// the few renamed to stay unique in a folder shared with other archives are kept.
class Selection {
public:
    Selection(const Archive& archive, const Plan& plan) : archive_(&archive), plan_(&plan) {}
    // Every planned entry, in table order.
    static Selection all(const Archive& archive, const Plan& plan);

    // File `file` of the plan.
    void add(u32 file) { files_.push_back(file); }
    std::size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }
    const Archive& archive() const { return *archive_; }
    const Entry& entry(std::size_t i) const { return archive_->entries()[plan_->entry(files_[i])]; }
    std::string name(std::size_t i) const;
    u16 type(std::size_t i) const { return plan_->type(files_[i]); }
    void rename(std::size_t i, std::string name) { renamed_[i] = std::move(name); }
    // Bytes of the files written for the undamaged ones.
    u64 bytes() const;

private:
    const Archive* archive_;
    const Plan* plan_;
    std::vector<u32> files_;
    std::unordered_map<std::size_t, std::string> renamed_;
};

struct WriteOptions {
    OutputOptions output{};
    bool keep_existing = false; // never replace a file; count it as kept
    bool decrypt = false;       // write encrypted 2DA and IDS as plain text
    unsigned threads = 1;       // a plain or BIFC archive is shared out in runs of about
    u64 run_bytes = 4ull << 20; // this many bytes when more folders can be opened
};

struct ExtractStats {
    u64 files = 0;
    u64 bytes = 0;
    u64 kept = 0; // existing files left alone (WriteOptions::keep_existing)
    double seconds = 0;
    u64 failed = 0;                  // resources not extracted
    std::vector<std::string> errors; // why, for the first few of them
    bool stopped = false;            // the volume failed: the rest was not attempted
    void add(const ExtractStats& other);
};

// Running totals a progress display reads from another thread.
struct Tally {
    std::atomic<u64> files{0}, bytes{0};
};

// The output folder: `name` (one safe component) directly inside `parent`; `shown` in messages.
struct OutputPlace {
    std::string parent, name, shown;
};

// What everything chosen needs on the volume of the output folder; files that will be replaced
// give their room back, each once its successor is written (looked at only when it matters).
class SpaceNeed {
public:
    void add(const Selection& chosen) { parts_.push_back(&chosen); }
    // Throws Error, naming `place.shown`, when the volume has too little room.
    void check(const OutputPlace& place, const WriteOptions& options) const;

private:
    std::vector<const Selection*> parts_;
};

// Opens the output folder (made if needed) and removes what killed runs left there, among them
// "NAME.~part" of older versions beside a resource NAME of `names`.
std::unique_ptr<OutputFolder> open_output(const OutputPlace& place, const std::vector<const Selection*>& names,
                                          const OutputOptions& options);

// Another handle on the output folder, for thread `w` (1, 2, ...): each writes through its own.
using FolderOpener = std::function<std::unique_ptr<OutputFolder>(unsigned w)>;

// Writes the chosen resources of one archive into `folder`, in archive order. Each file appears
// under its name only when complete. A resource that cannot be read or written (a folder in the
// way, a name the file system refuses) is skipped and reported; a failure of the volume (disk
// full, I/O) stops at once; a folder that takes no new file is named by `shown`. `progress` (may be empty) is called
// before each resource with the number done; `tally` (may be null) counts what is written. With
// `more_folders` and several threads, runs of the archive are written on threads of their own,
// with the same files and the same report; after a failure of the volume the runs before it are
// still written whole, and what later ones had written stays. A BIF V1.0's one stream is inflated
// ahead on a thread of its own instead.
void extract_chosen(Archive& archive, const Selection& chosen, OutputFolder& folder, const std::string& shown,
                    const WriteOptions& options, ExtractStats& st, Tally* tally,
                    const std::function<void(std::size_t done, std::size_t total)>& progress,
                    const FolderOpener& more_folders = {});

// The whole archive into one folder, checked and cleaned as above. Throws Error, before writing
// anything, when the folder is unusable or too small.
ExtractStats extract_all(Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options,
                         const std::function<void(std::size_t done, std::size_t total)>& progress);

} // namespace bif
