#include "runs.h"

#include <algorithm>

namespace bif {

std::vector<std::size_t> plan_runs(const std::vector<Span>& spans, const RunLimits& limits)
{
    std::vector<std::size_t> starts;
    if (spans.empty())
        return starts;
    starts.push_back(0);
    u64 reach = 0, in_run = 0;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const Span& s = spans[k];
        if (s.damaged)
            continue;
        if (k > 0 && in_run >= limits.bytes && starts.size() < limits.most && s.offset >= reach) {
            u64 base = s.offset;
            try {
                if (limits.base)
                    base = limits.base(s.offset);
            } catch (const Error&) {
                break; // the blocks cannot be told apart: the rest stays in one run
            }
            if (base >= reach || reach - base <= limits.head) {
                starts.push_back(k);
                in_run = 0;
            }
        }
        in_run += s.size;
        reach = std::max(reach, s.offset + s.size);
    }
    return starts;
}

} // namespace bif
