#include <doctest.h>

#include "platform/win32/dpi.h"

using namespace platform;
using namespace platform::win32;

TEST_SUITE("dpi") {

TEST_CASE("twips become pixels at the window's resolution")
{
    const Dpi normal{96}, large{144}, medium{120};
    CHECK(normal.to_pixels(2295) == 153);
    CHECK(normal.to_pixels(4800) == 320);
    CHECK(large.to_pixels(2295) == 230); // 229.5: half as large again, rounded
    CHECK(large.to_pixels(4800) == 480);
    CHECK(medium.to_pixels(15) == 1);
    CHECK(normal.to_pixels(-510) == -34);
    CHECK(normal.to_twips(153) == doctest::Approx(2295));
    CHECK(large.to_twips(3) == doctest::Approx(30));
    CHECK(normal.font_height(8.25f) == 11);
    CHECK(large.font_height(12) == 24);
}

TEST_CASE("rectangles that touch in twips touch in pixels, at any resolution")
{
    for (int value : {96, 120, 144, 168, 192}) {
        const Dpi dpi{value};
        const RECT left = dpi.to_pixels(Rect{100, 100, 1001, 500});
        const RECT right = dpi.to_pixels(Rect{1101, 100, 700, 500});
        CHECK(left.right == right.left);
    }
}

TEST_CASE("the frame is added round the client area, more of it at a larger resolution")
{
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const RECT normal = outer_rect(153, 320, style, 0, Dpi{96});
    CHECK(normal.right - normal.left > 153);
    CHECK(normal.bottom - normal.top > 320);
    CHECK(normal.left <= 0);
    const RECT large = outer_rect(153, 320, style, 0, Dpi{144});
    CHECK(large.bottom - large.top >= normal.bottom - normal.top);
}

}
