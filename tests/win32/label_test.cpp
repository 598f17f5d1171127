#include <doctest.h>

#include <stdexcept>

#include "platform/failure.h"
#include "platform/win32/colors.h"
#include "platform/win32/label_painter.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

RECT united(RECT a, RECT b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

POINT pixel_of(const test::Form& form, float x, float y)
{
    const Dpi dpi = static_cast<FormWindow*>(form.peer())->dpi();
    return POINT{dpi.to_pixels(x), dpi.to_pixels(y)};
}

void mouse(const test::Form& form, UINT message, float x, float y)
{
    const POINT p = pixel_of(form, x, y);
    SendMessageW(form.window(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
}

} // namespace

TEST_SUITE("label") {

TEST_CASE("labels paint bottom to top: transparent ones over black, opaque and framed ones in their colours")
{
    test::Platform platform;
    test::Form form(platform);
    form.top.set_visible(true);
    FontCache fonts(Dpi{96});
    test::Surface surface(153, 320);
    paint_form_surface(surface.dc(), form, fonts, RECT{0, 0, 153, 320});

    // The banner's strip: black where no letter is, its green where one is.
    const RECT banner = Dpi{96}.to_pixels(form.banner.bounds());
    const RECT visible{0, banner.top, banner.right, banner.bottom};
    CHECK(surface.count(visible, to_colorref(test::banner_green)) >= 30);
    // Smoothed letter edges may blend green into black, but nothing else shows there.
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x)
            REQUIRE((surface.at(x, y) & 0xFF00FF) == 0);
    // Nowhere else is painted but black: between the labels.
    CHECK(surface.at(150, 100) == 0);
    // The opaque top label covers the framed one under it where they overlap.
    CHECK(surface.at(30, 10) == to_colorref(test::top_red));
    // The framed label, where it shows: a sunken edge round its face colour.
    CHECK(surface.at(45, 10) == GetSysColor(COLOR_BTNFACE));
    CHECK(surface.at(50, 0) == GetSysColor(COLOR_BTNSHADOW));

    // Hidden, a label paints nothing.
    form.top.set_visible(false);
    paint_form_surface(surface.dc(), form, fonts, RECT{0, 0, 153, 320});
    CHECK(surface.at(30, 10) != to_colorref(test::top_red));
}

TEST_CASE("a centred caption keeps away from both edges; a moved label paints at its new place")
{
    test::Platform platform;
    test::Form form(platform);
    FontCache fonts(Dpi{96});
    test::Surface surface(153, 320);
    form.banner.set_left(0);
    paint_form_surface(surface.dc(), form, fonts, RECT{0, 0, 153, 320});
    const RECT banner = Dpi{96}.to_pixels(form.banner.bounds());
    const COLORREF green = to_colorref(test::banner_green);
    CHECK(surface.count(RECT{0, banner.top, 10, banner.bottom}, green) == 0);
    CHECK(surface.count(RECT{123, banner.top, 133, banner.bottom}, green) == 0);
    CHECK(surface.count(RECT{10, banner.top, 123, banner.bottom}, green) >= 30);
}

TEST_CASE("a moving label has only its old and new places drawn again, not the controls")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND window = form.window();
    REQUIRE(window);
    UpdateWindow(window);
    test::pump_for(50);
    const HWND list = form.child(L"ListBox");
    REQUIRE(list);
    UpdateWindow(list);

    const Dpi dpi = static_cast<FormWindow*>(form.peer())->dpi();
    const RECT before = dpi.to_pixels(form.banner.bounds());
    form.banner.set_left(form.banner.left() - 60);
    const RECT after = dpi.to_pixels(form.banner.bounds());

    const HRGN update = CreateRectRgn(0, 0, 0, 0);
    REQUIRE(GetUpdateRgn(window, update, FALSE) != NULLREGION);
    RECT box;
    GetRgnBox(update, &box);
    DeleteObject(update);
    RECT client;
    GetClientRect(window, &client);
    RECT expected;
    IntersectRect(&expected, &client, &(const RECT&)united(before, after));
    CHECK(box.left == expected.left);
    CHECK(box.top == expected.top);
    CHECK(box.right == expected.right);
    CHECK(box.bottom == expected.bottom);
    CHECK_FALSE(GetUpdateRect(list, nullptr, FALSE));
    CHECK_FALSE(GetUpdateRect(form.child(L"Button"), nullptr, FALSE));
    form.unload();
    test::take_quit();
}

TEST_CASE("the pointer goes to the topmost visible label under it; a click is a press and release on the same label")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    // The banner lies over the strip: it takes the click where it is.
    mouse(form, WM_LBUTTONDOWN, 300, 4400);
    CHECK(GetCapture() == form.window());
    mouse(form, WM_LBUTTONUP, 310, 4410);
    CHECK(form.banner_clicks == 1);
    CHECK(form.strip_clicks == 0);
    CHECK(GetCapture() != form.window());
    // Below the banner, the strip takes it.
    mouse(form, WM_LBUTTONDOWN, 300, 4700);
    mouse(form, WM_LBUTTONUP, 300, 4700);
    CHECK(form.strip_clicks == 1);
    // Pressed on one label and released on another (or off all): no click.
    mouse(form, WM_LBUTTONDOWN, 300, 4700);
    mouse(form, WM_LBUTTONUP, 300, 4400);
    mouse(form, WM_LBUTTONDOWN, 300, 4700);
    mouse(form, WM_LBUTTONUP, 1500, 2000);
    mouse(form, WM_LBUTTONDOWN, 1500, 2000);
    mouse(form, WM_LBUTTONUP, 300, 4700);
    CHECK(form.strip_clicks == 1);
    CHECK(form.banner_clicks == 1);
    // A hidden label lets the pointer through to the one under it.
    form.banner.set_visible(false);
    mouse(form, WM_LBUTTONDOWN, 300, 4400);
    mouse(form, WM_LBUTTONUP, 300, 4400);
    CHECK(form.strip_clicks == 2);
    // Moves report where on the label, in twips.
    mouse(form, WM_MOUSEMOVE, 750, 4500);
    REQUIRE(form.moves.size() == 1);
    CHECK(form.moves[0].x == doctest::Approx(750).epsilon(0.01));
    CHECK(form.moves[0].y == doctest::Approx(300).epsilon(0.01));
    form.unload();
    test::take_quit();
}

TEST_CASE("a failure in a click handler is reported and goes no further than the window procedure")
{
    test::Platform platform;
    test::Form form(platform);
    form.strip.on_click = [] { throw Failure("Overflow"); };
    form.show();
    mouse(form, WM_LBUTTONDOWN, 300, 4700);
    mouse(form, WM_LBUTTONUP, 300, 4700);
    REQUIRE(platform.failures.size() == 1);
    CHECK(platform.failures[0] == "Overflow");
    // So is one in a tick, again and again without piling up.
    form.timer.on_tick = [] { throw std::runtime_error("tick"); };
    form.timer.set_interval(10);
    test::pump_for(100);
    CHECK(platform.failures.size() >= 2);
    form.unload();
    test::take_quit();
}

TEST_CASE("the program's pointer over a label that asks for it, the arrow elsewhere")
{
    test::Platform platform;
    REQUIRE(platform.program_pointer());
    test::Form form(platform);
    form.show();
    const HWND window = form.window();
    auto pointer_at = [&](float x, float y) {
        POINT p = pixel_of(form, x, y);
        ClientToScreen(window, &p);
        SetCursorPos(p.x, p.y);
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    CHECK(pointer_at(300, 4700) == platform.program_pointer());
    CHECK(pointer_at(2200, 100) == LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW)));
    form.unload();
    test::take_quit();
}

}
