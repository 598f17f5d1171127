#include <doctest.h>

#include <vector>

#include "platform/win32/check_box_drawing.h"
#include "platform/win32/fonts.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

// A visual style would draw a themed check box in its own colours whatever the program asks;
// the check box is drawn by the program, so its own drawing must give the colours.
TEST_SUITE("check_box") {

TEST_CASE("light grey text on black, and a box that shows each of the three values differently, at any resolution")
{
    constexpr COLORREF light_grey = 0xE0E0E0;
    for (int value : {96, 144}) {
        CAPTURE(value);
        const Dpi dpi{value};
        const GdiFont font = make_font(Font{"MS Sans Serif", 9.75f, true, false}, dpi);
        const int width = MulDiv(137, value, 96), height = MulDiv(25, value, 96), box = MulDiv(14, value, 96);
        std::vector<std::vector<COLORREF>> boxes;
        for (CheckValue check : {CheckValue::clear, CheckValue::ticked, CheckValue::grayed}) {
            CAPTURE(static_cast<int>(check));
            test::Surface surface(width, height);
            draw_check_box(surface.dc(), RECT{0, 0, width, height},
                           CheckBoxLook{.caption = L"Extract from BIF.", .value = check, .font = font.get(),
                                        .fore = light_grey, .back = 0x000000, .dpi = dpi});
            // The text is there, in the fore colour, and nothing right of the box is lighter than it.
            const RECT text{box + 4, 0, width, height};
            CHECK(surface.count(text, light_grey) >= 40);
            CHECK(surface.count(text, [](COLORREF c) {
                return GetRValue(c) > 0xE0 || GetGValue(c) > 0xE0 || GetBValue(c) > 0xE0;
            }) == 0);
            // On black: the strip right of the text stays black.
            CHECK(surface.count(RECT{width - 3, 0, width, height}, 0x000000) == 3 * height);
            // The box grows with the resolution: at 144 dpi its white inside reaches past a 96 dpi box.
            if (value == 144 && check == CheckValue::clear)
                CHECK(surface.at(16, height / 2) == GetSysColor(COLOR_WINDOW));
            boxes.emplace_back();
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < box; ++x)
                    boxes.back().push_back(surface.at(x, y));
        }
        CHECK(boxes[0] != boxes[1]);
        CHECK(boxes[1] != boxes[2]);
        CHECK(boxes[0] != boxes[2]);
    }
}

}
