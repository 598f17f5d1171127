#include <doctest.h>

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
    CHECK_THROWS_AS(to_int16(32767.6f), Failure);
    CHECK_THROWS_AS(to_int16(-32768.6f), Failure);
    CHECK_THROWS_AS(to_int16(std::numeric_limits<float>::quiet_NaN()), Failure);

    CHECK(checked_add(-32768, 25) == -32743);
    CHECK_THROWS_AS(checked_add(32760, 25), Failure);
    CHECK_THROWS_AS(checked_sub(-32760, 25), Failure);
}

TEST_CASE("file patterns match the long name only, ignoring case")
{
    CHECK(matches_pattern("AREA000A.bif", "*.bif"));
    CHECK(matches_pattern("DEFAULT.BIF", "*.bif"));
    CHECK(matches_pattern(".bif", "*.bif"));
    CHECK(matches_pattern("a.b.bif", "*.bif"));
    CHECK_FALSE(matches_pattern("x.bifold", "*.bif"));
    CHECK_FALSE(matches_pattern("x.bif.bak", "*.bif"));
    CHECK_FALSE(matches_pattern("xbif", "*.bif"));
}

TEST_CASE("names sort as a list box sorts them, ignoring case, with a stable order for ties")
{
    CHECK(name_less("a.bif", "B.bif"));
    CHECK_FALSE(name_less("B.bif", "a.bif"));
    CHECK(name_less("A.bif", "a.bif")); // a tie by case is still ordered
    CHECK_FALSE(name_less("a.bif", "A.bif"));
    CHECK(name_less("zz.bif", "\xC3\x84rger.bif")); // UTF-8 letters after ASCII ones
}
