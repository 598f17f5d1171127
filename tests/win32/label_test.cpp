#include <doctest.h>

#include <stdexcept>

#include "platform/failure.h"
#include "platform/win32/colors.h"
#include "platform/win32/label_painter.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

POINT pixel_of(const test::Form& form, float x, float y) { return POINT{form.dpi().to_pixels(x), form.dpi().to_pixels(y)}; }

void mouse(const test::Form& form, UINT message, float x, float y)
{
    const POINT p = pixel_of(form, x, y);
    SendMessageW(form.window(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
}

void click(const test::Form& form, float x, float y, float up_x, float up_y)
{
    mouse(form, WM_LBUTTONDOWN, x, y);
    mouse(form, WM_LBUTTONUP, up_x, up_y);
}

} // namespace

TEST_SUITE("label") {

TEST_CASE("labels paint bottom to top: transparent ones over black, opaque and framed ones in their colours")
{
    test::Platform platform;
    test::Form form(platform);
    form.banner.set_left(0);
    FontCache fonts(Dpi{96});
    test::Surface surface(153, 320);
    paint_form_surface(surface.dc(), form, fonts, RECT{0, 0, 153, 320});

    // The banner's strip: its green letters, centred, on black; smoothed edges may blend the two.
    const RECT banner = Dpi{96}.to_pixels(form.banner.bounds());
    const COLORREF green = to_colorref(test::banner_green);
    CHECK(surface.count(RECT{10, banner.top, 123, banner.bottom}, green) >= 30);
    CHECK(surface.count(RECT{0, banner.top, 10, banner.bottom}, green) + surface.count(RECT{123, banner.top, 133, banner.bottom}, green) == 0);
    CHECK(surface.count(RECT{0, banner.top, 153, banner.bottom}, [](COLORREF c) { return (c & 0xFF00FF) != 0; }) == 0);
    CHECK(surface.at(150, 100) == 0);
    // The opaque top label covers the framed one under it where they overlap.
    CHECK(surface.at(30, 10) == to_colorref(test::top_red));
    CHECK(surface.at(45, 10) == GetSysColor(COLOR_BTNFACE)); // the framed one where it shows, a sunken edge round it
    CHECK(surface.at(50, 0) == GetSysColor(COLOR_BTNSHADOW));

    // Hidden, a label paints nothing.
    form.top.set_visible(false);
    paint_form_surface(surface.dc(), form, fonts, RECT{0, 0, 153, 320});
    CHECK(surface.at(30, 10) != to_colorref(test::top_red));
}

TEST_CASE_FIXTURE(test::Shown, "a moving label has only its old and new places drawn again, not the controls")
{
    const HWND window = form.window(), list = form.child(L"ListBox");
    UpdateWindow(window);
    test::pump_for(50);
    UpdateWindow(list);

    const RECT before = form.dpi().to_pixels(form.banner.bounds());
    form.banner.set_left(form.banner.left() - 60);
    const RECT after = form.dpi().to_pixels(form.banner.bounds());

    RECT box, client, both, expected;
    REQUIRE(GetUpdateRect(window, &box, FALSE));
    GetClientRect(window, &client);
    UnionRect(&both, &before, &after);
    IntersectRect(&expected, &client, &both);
    CHECK(EqualRect(&box, &expected));
    CHECK_FALSE(GetUpdateRect(list, nullptr, FALSE));
}

TEST_CASE_FIXTURE(test::Shown, "the pointer goes to the topmost visible label under it, with its image; a click is a press and release on one label")
{
    // The banner lies over the strip: it takes the click where it is.
    mouse(form, WM_LBUTTONDOWN, 300, 4400);
    CHECK(GetCapture() == form.window()); // a release outside the window still arrives
    mouse(form, WM_LBUTTONUP, 310, 4410);
    CHECK(form.banner_clicks == 1);
    CHECK(form.strip_clicks == 0);
    // Below the banner, the strip takes it; pressed on one label and released on another, no click.
    click(form, 300, 4700, 300, 4700);
    click(form, 300, 4700, 300, 4400);
    CHECK(form.strip_clicks == 1);
    CHECK(form.banner_clicks == 1);
    // A hidden label lets the pointer through to the one under it.
    form.banner.set_visible(false);
    click(form, 300, 4400, 300, 4400);
    CHECK(form.strip_clicks == 2);
    mouse(form, WM_MOUSEMOVE, 750, 4500);
    CHECK(form.strip_moves == 1);

    // The program's pointer over a label that asks for it, the arrow elsewhere.
    REQUIRE(platform.program_pointer());
    auto pointer_at = [&](float x, float y) {
        POINT p = pixel_of(form, x, y);
        ClientToScreen(form.window(), &p);
        SetCursorPos(p.x, p.y);
        SendMessageW(form.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    CHECK(pointer_at(300, 4700) == platform.program_pointer());
    CHECK(pointer_at(2200, 100) == LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW)));
}

TEST_CASE_FIXTURE(test::Shown, "a failure in a click or tick handler is reported and goes no further than the window procedure")
{
    form.strip.on_click = [] { throw Failure("Overflow"); };
    click(form, 300, 4700, 300, 4700);
    REQUIRE(platform.failures.size() == 1);
    CHECK(platform.failures[0] == "Overflow");
    form.timer.on_tick = [] { throw std::runtime_error("tick"); };
    form.timer.set_interval(10);
    test::pump_for(100);
    CHECK(platform.failures.size() >= 2);
}

}
