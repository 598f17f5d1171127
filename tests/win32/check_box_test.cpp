#include <doctest.h>

#include <algorithm>
#include <vector>

#include "platform/win32/check_box_drawing.h"
#include "platform/win32/fonts.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

constexpr COLORREF light_grey = 0xE0E0E0;

std::vector<COLORREF> pixels(const test::Surface& surface, const RECT& area)
{
    std::vector<COLORREF> all;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            all.push_back(surface.at(x, y));
    return all;
}

} // namespace

// A visual style would draw a themed check box in its own colours whatever the program asks;
// the check box is drawn by the program, so its own drawing must give the colours.
TEST_SUITE("check_box") {

TEST_CASE("light grey text on black, and a box that shows each of the three values differently")
{
    const Dpi dpi{96};
    const GdiFont font = make_font(Font{"MS Sans Serif", 9.75f, true, false}, dpi);
    const RECT area{0, 0, 137, 25};
    const RECT box_area{0, 0, 14, 25};
    const RECT text_area{18, 0, 137, 25};

    std::vector<std::vector<COLORREF>> boxes;
    for (CheckValue value : {CheckValue::clear, CheckValue::ticked, CheckValue::grayed}) {
        test::Surface surface(137, 25);
        CheckBoxLook look;
        look.caption = L"Extract from BIF.";
        look.value = value;
        look.font = font.get();
        look.fore = light_grey;
        look.back = 0x000000;
        look.dpi = dpi;
        draw_check_box(surface.dc(), area, look);

        CAPTURE(static_cast<int>(value));
        // The text is there, in the fore colour, and nothing in the text area is lighter than it.
        CHECK(surface.count(text_area, light_grey) >= 40);
        for (COLORREF c : pixels(surface, text_area)) {
            REQUIRE(GetRValue(c) <= 0xE0);
            REQUIRE(GetGValue(c) <= 0xE0);
            REQUIRE(GetBValue(c) <= 0xE0);
        }
        // On black: the corners and the strip right of the text stay black.
        CHECK(surface.at(136, 0) == 0);
        CHECK(surface.at(136, 24) == 0);
        CHECK(surface.at(0, 0) == 0);
        boxes.push_back(pixels(surface, box_area));
    }
    CHECK(boxes[0] != boxes[1]);
    CHECK(boxes[1] != boxes[2]);
    CHECK(boxes[0] != boxes[2]);
}

TEST_CASE("the box and the text grow with the resolution")
{
    const Dpi large{144};
    const GdiFont font = make_font(Font{"MS Sans Serif", 9.75f, true, false}, large);
    test::Surface surface(206, 38);
    CheckBoxLook look;
    look.caption = L"Extract from BIF.";
    look.value = CheckValue::clear;
    look.font = font.get();
    look.fore = light_grey;
    look.dpi = large;
    draw_check_box(surface.dc(), RECT{0, 0, 206, 38}, look);
    // The box's white inside reaches past where a 96 dpi box (13 pixels) would end.
    CHECK(surface.at(16, 19) == GetSysColor(COLOR_WINDOW));
    CHECK(surface.count(RECT{24, 0, 206, 38}, light_grey) >= 60);
}

}
