#include <doctest.h>

#include <functional>
#include <limits>

#include "platform/failure.h"
#include "platform/file_names.h"
#include "platform/int16.h"

using namespace platform;

TEST_CASE("16-bit conversions round to nearest and fail rather than wrap")
{
    CHECK(to_int16(2385.4f) == 2385);
    CHECK(to_int16(2385.6f) == 2386);
    CHECK(to_int16(-4155.0f) == -4155);
    CHECK(to_int16(2.5f) == 2); // halves go to even
    CHECK(to_int16(32767.4f) == 32767);
    CHECK(checked_add(-32768, 25) == -32743);
    for (const auto& fails :
         std::initializer_list<std::function<void()>>{[] { to_int16(32767.6f); }, [] { to_int16(-32768.6f); },
                                                      [] { to_int16(std::numeric_limits<float>::quiet_NaN()); },
                                                      [] { checked_add(32760, 25); }, [] { checked_sub(-32760, 25); }})
        CHECK_THROWS_AS(fails(), Failure);
}

TEST_CASE("*.bif matches the long name only, ignoring case; names sort ignoring case, ties by bytes")
{
    for (const char* name : {"AREA000A.bif", "DEFAULT.BIF", ".bif", "a.b.bif"})
        CHECK(matches_pattern(name, "*.bif"));
    for (const char* name : {"x.bifold", "x.bif.bak", "xbif"})
        CHECK_FALSE(matches_pattern(name, "*.bif"));
    CHECK(name_less("a.bif", "B.bif"));
    CHECK(name_less("A.bif", "a.bif"));
    CHECK(name_less("zz.bif", "\xC3\x84rger.bif")); // UTF-8 letters after ASCII ones
}
