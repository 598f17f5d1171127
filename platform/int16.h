#pragma once
#include <cstdint>

// Counts and banner positions are 16-bit signed; every step that could leave that range fails
// instead of wrapping, so a wrong layout shows up as a report rather than a runaway banner.
namespace platform {

std::int16_t checked_add(std::int16_t a, std::int16_t b);
std::int16_t checked_sub(std::int16_t a, std::int16_t b);
// Rounds to the nearest integer, halves to even; fails outside -32768..32767 and on NaN.
std::int16_t to_int16(float value);

} // namespace platform
