#include "int16.h"

#include <cmath>
#include <limits>

#include "failure.h"

namespace platform {
namespace {

std::int16_t narrow(long value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw Failure("Overflow");
    return static_cast<std::int16_t>(value);
}

} // namespace

std::int16_t checked_add(std::int16_t a, std::int16_t b) { return narrow(long{a} + long{b}); }
std::int16_t checked_sub(std::int16_t a, std::int16_t b) { return narrow(long{a} - long{b}); }

std::int16_t to_int16(float value)
{
    if (std::isnan(value))
        throw Failure("Overflow");
    const double rounded = std::nearbyint(static_cast<double>(value));
    if (rounded < -32768.0 || rounded > 32767.0)
        throw Failure("Overflow");
    return static_cast<std::int16_t>(rounded);
}

} // namespace platform
