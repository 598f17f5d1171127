// Labels copied from their kept pictures against labels drawn anew: the same pixels, whatever
// changed since the picture was made, and on the screen as the banner moves.
#include <doctest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/win32/painting/label_images.h"
#include "platform/win32/painting/label_painter.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

namespace {

// The form's surface within the area, painted alone into a bitmap of its client's size.
std::vector<std::uint32_t> painted(const Form& form, FontCache& fonts, const RECT& area, LabelImages* kept)
{
    const int width = area.right, height = area.bottom;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};
    void* bits = nullptr;
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    const GdiBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const Selection chosen(dc.get(), bitmap.get());
    {
        DcCanvas canvas(dc.get());
        paint_form_surface(canvas, form, fonts, area, kept);
    }
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(first[y * width + x] & 0xFFFFFFu);
    return pixels;
}

RECT strip_of(const frmMain& main, Dpi dpi)
{
    RECT strip = label_box(main.cmdClick, dpi);
    strip.left = 0;
    strip.right = dpi.to_pixels(main.layout().client_width);
    return strip;
}

} // namespace

TEST_SUITE("window") {

// The strip's own caption, made to show, lies over the banner; the link's underline and colour
// change as the pointer comes and goes.
TEST_CASE_FIXTURE(test::Shown, "labels copied from their kept pictures paint what drawing them anew paints, after a "
                               "move, a new caption, colour, underline or scale")
{
    main.Timer1.set_enabled(false);
    main.cmdClick.set_fore_color(0xFFFFFF);
    // Lines enough to lie over the banner's text: what the strip lays must not hide what lies under it.
    main.cmdClick.set_caption("Label1 Label1 Label1 Label1 Label1 Label1 Label1 Label1 Label1 Label1");
    frmInfo info(platform);
    info.load();
    LabelImages kept;
    for (const int scale : {96, 144, 120}) {
        CAPTURE(scale);
        RECT at{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(scale, scale), reinterpret_cast<LPARAM>(&at));
        FontCache fonts(Dpi{scale});
        const RECT strip = strip_of(main, Dpi{scale});
        for (int tick = 0; tick < 8; ++tick) {
            CAPTURE(tick);
            main.cmdInfo.set_left(static_cast<float>(300 - 25 * tick));
            if (tick == 4)
                main.cmdInfo.set_caption("CLICK HERE");
            if (tick == 6)
                main.cmdInfo.set_fore_color(0x00C0C0);
            CHECK(painted(main, fonts, strip, &kept) == painted(main, fonts, strip, nullptr));
        }
        main.cmdInfo.set_caption("CLICK HERE FOR INFORMATION");
        main.cmdInfo.set_fore_color(0x00C000);
        const RECT all{0, 0, Dpi{scale}.to_pixels(info.layout().client_width),
                       Dpi{scale}.to_pixels(info.layout().client_height)};
        for (const auto& [underline, colour] : {std::pair{false, frmInfo::link_cold},
                                                {true, frmInfo::link_cold},
                                                {true, frmInfo::link_hot},
                                                {false, frmInfo::link_cold}}) {
            info.lblQarvel.set_font_underline(underline);
            info.lblQarvel.set_fore_color(colour);
            CHECK(painted(info, fonts, all, &kept) == painted(info, fonts, all, nullptr));
        }
    }
    info.unload();
}

TEST_CASE_FIXTURE(test::Shown, "as the banner moves its strip on the screen is the whole surface painted anew, the "
                               "column it leaves too, at 96 and at 144 dpi")
{
    main.Timer1.set_enabled(false);
    main.cmdClick.set_fore_color(0xFFFFFF);
    for (const int scale : {96, 144}) {
        CAPTURE(scale);
        RECT at{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(scale, scale), reinterpret_cast<LPARAM>(&at));
        FontCache fonts(Dpi{scale});
        const RECT strip = strip_of(main, Dpi{scale});
        const RECT shown{strip.left, strip.top, strip.right, std::min<LONG>(strip.bottom, Dpi{scale}.to_pixels(4800))};
        // Moving in, the banner's end within the window, and back to the start.
        for (const int left : {100, 75, 50, -1900, -1925, -1950, -1975, 2400}) {
            CAPTURE(left);
            main.cmdInfo.set_left(static_cast<float>(left));
            const std::vector<std::uint32_t> expected = painted(main, fonts, shown, nullptr);
            std::vector<std::uint32_t> seen;
            test::wait_until(
                [&] {
                    const test::Capture screen(window, shown);
                    seen.clear();
                    for (int y = shown.top; y < shown.bottom; ++y)
                        for (int x = shown.left; x < shown.right; ++x) {
                            const COLORREF c = screen.at(x, y);
                            seen.push_back((std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) |
                                           GetBValue(c));
                        }
                    return seen == expected;
                },
                2000);
            CHECK(seen == expected);
        }
    }
}

}
