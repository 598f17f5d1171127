#pragma once
// Cutting the files chosen of one archive, in archive order, into runs that threads extract on
// their own, each with its own reader of the archive's data and its own output files.
#include <cstddef>
#include <functional>
#include <vector>

#include "common.h"

namespace bif {

// The stretch of the archive's data one file is made from, in archive order; a damaged entry
// reads nothing.
struct Span {
    u64 offset = 0, size = 0;
    bool damaged = false;
};

struct RunLimits {
    u64 bytes = 8ull << 20;       // at least this much data in a run before another may start
    std::size_t most = 64;        // runs at most
    u64 head = 64ull << 10;       // a run may inflate at most this much of the data before it again
    std::function<u64(u64)> base; // where reading byte `off` must start (a compressed block's
                                  // start); throws Error. Empty: at `off` itself
};

// The index in `spans` at which each run starts (the first at 0). A run starts only where no
// earlier file's data reaches, so the data later files share with earlier ones lies in one run,
// and only where its head (what its first read inflates before its data and the run before
// inflated too) is short: together the runs inflate at most `most * head` more than one reader.
std::vector<std::size_t> plan_runs(const std::vector<Span>& spans, const RunLimits& limits);

} // namespace bif
