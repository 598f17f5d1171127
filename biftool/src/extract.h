#pragma once
// Listing and extraction of one archive whose entries have been named (names.h).
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "archive.h"
#include "names.h"

namespace bif {

void print_listing(const Archive& archive, const std::vector<Planned>& plan, std::ostream& out);

struct ExtractStats {
  u64 files = 0;
  u64 bytes = 0;
  double seconds = 0;
  std::vector<std::string> errors;  // one per resource not extracted
  bool stopped = false;             // a write failed: the rest was not attempted
};

// Writes every planned entry into out_dir (created if needed). Each file is written under a
// temporary name and renamed when complete, so a failure never leaves a cut-short file under
// the resource's name. Damaged or unreadable entries are skipped and reported; a failed write
// (disk full, no permission) stops the extraction. Data is copied in fixed-size chunks.
ExtractStats extract_all(Archive& archive, const std::vector<Planned>& plan, const std::filesystem::path& out_dir,
                         const std::function<void(std::size_t done, std::size_t total)>& progress);

// Suffix of temporary files; no planned name ends in it.
inline constexpr const char* kPartSuffix = ".~part";

}  // namespace bif
