#pragma once
// Listing and extraction of one archive whose entries have been named (names.h).
#include <functional>
#include <string>
#include <vector>

#include "archive.h"
#include "names.h"
#include "output.h"
#include "text_sink.h"

namespace bif {

void print_listing(const Archive& archive, const Plan& plan, TextSink& out);

struct ExtractStats {
    u64 files = 0;
    u64 bytes = 0;
    double seconds = 0;
    u64 failed = 0;                  // resources not extracted
    std::vector<std::string> errors; // why, for the first few of them
    bool stopped = false;            // the volume failed: the rest was not attempted
};

// The output folder: `name` (one safe component) directly inside `parent`; `shown` in messages.
struct OutputPlace {
    std::string parent, name, shown;
};

// Writes every planned entry into the output folder (made if needed), after checking that the
// volume has room for all of it and removing what killed runs left there. Each file appears under
// its name only when complete. A compressed archive is inflated once, forward; data its entries
// share is copied from a file already written. A resource that cannot be read or written (a folder
// in the way, a name the file system refuses) is skipped and reported; a failure of the volume (disk
// full, I/O, a folder that takes no file) stops at once. Throws Error, before writing anything, when
// the folder is unusable or too small.
ExtractStats extract_all(Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options,
                         const std::function<void(std::size_t done, std::size_t total)>& progress);

} // namespace bif
