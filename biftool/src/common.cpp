#include "common.h"

#include <cinttypes>
#include <cstdio>

namespace bif {

std::string hex16(u16 v)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%04X", static_cast<unsigned>(v));
    return b;
}

std::string bytes_text(u64 n)
{
    char b[64];
    if (n < 10 * 1024)
        std::snprintf(b, sizeof b, "%" PRIu64 " bytes", n);
    else if (n < 10ull * 1024 * 1024)
        std::snprintf(b, sizeof b, "%.1f KiB", static_cast<double>(n) / 1024.0);
    else if (n < 10ull * 1024 * 1024 * 1024)
        std::snprintf(b, sizeof b, "%.1f MiB", static_cast<double>(n) / (1024.0 * 1024.0));
    else
        std::snprintf(b, sizeof b, "%.1f GiB", static_cast<double>(n) / (1024.0 * 1024.0 * 1024.0));
    return b;
}

} // namespace bif
