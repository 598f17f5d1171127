// What only the real windows show of the program's behaviour: input reaching the handlers, the
// pointer images, the information window modal over the main window and where it comes back,
// and the banner as drawn at every scale.
#include <doctest.h>

#include <utility>

#include "platform/win32/colors.h"
#include "platform/win32/label_painter.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

namespace {

// Runs once, inside whatever message loop runs then: the user's doing while a box or window is
// modal. Dropped where set to null before its time.
std::function<void()> inside_loop;
void soon(int milliseconds, std::function<void()> action)
{
    inside_loop = std::move(action);
    SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (const auto action = std::exchange(inside_loop, nullptr))
            action();
    });
}

// How far the label's drawing spreads along its middle row, painted alone on black.
int drawn_width(const Label& label, FontCache& fonts, const RECT& box)
{
    const int width = box.right - box.left, middle = (box.bottom - box.top) / 2;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, box.top - box.bottom, 1, 32, BI_RGB}};
    void* bits = nullptr;
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    const GdiBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const Selection chosen(dc.get(), bitmap.get());
    SetViewportOrgEx(dc.get(), -box.left, -box.top, nullptr);
    paint_label(dc.get(), label, fonts);
    GdiFlush();
    const auto* row = static_cast<const std::uint32_t*>(bits) + middle * width;
    int first = 0, last = width - 1;
    while (first < width && row[first] == 0)
        ++first;
    while (last > first && row[last] == 0)
        --last;
    return last - first;
}

HCURSOR pointer_at(HWND w, float x, float y)
{
    POINT p{test::px(x), test::px(y)};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

bool quit_with(WPARAM code)
{
    MSG quit;
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == code;
}

} // namespace

TEST_SUITE("window") {

TEST_CASE_FIXTURE(test::Shown, "the information window: modal and owned, the banner running on; the pointer images; a "
                               "click is a press and release on one label")
{
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    CHECK(pointer_at(window, 100, 4700) == platform.program_pointer());
    const std::int16_t before = main.HScroll1.value();
    soon(300, [&] {
        frmInfo& info = *main.info();
        const HWND w = platform.window_of(info);
        CHECK_FALSE(IsWindowEnabled(window));
        CHECK(GetWindow(w, GW_OWNER) == window);
        CHECK(main.HScroll1.value() != before);
        CHECK(pointer_at(w, 2000, 5500) == platform.program_pointer());
        CHECK(pointer_at(w, 2000, 3000) == arrow);
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(test::px(2000), test::px(5500)));
        CHECK(info.lblQarvel.fore_color() == frmInfo::link_hot);
        test::click(w, 2000, 5500, 2000, 3000); // pressed on the link, let go on the mask: no click
        CHECK(IsWindowVisible(w));
        test::click(w, 2000, 3000, 2000, 3000);
    });
    test::click(window, 100, 4700, 100, 4700);
    REQUIRE(main.info() != nullptr);
    CHECK(main.info()->state() == FormState::hidden);
    CHECK(test::wait_until([&] { return IsWindowEnabled(window) && GetActiveWindow() == window; }, 2000));
    soon(100, [] { PostQuitMessage(3); }); // the loop ends and passes the quit on
    test::click(window, 100, 4700, 100, 4700);
    CHECK(quit_with(3));
    main.info()->unload();
    CHECK(platform.failures.empty());
}

TEST_CASE_FIXTURE(test::Shown, "a moving label draws its old and new boxes alone, not the whole window")
{
    main.Timer1.set_enabled(false);
    test::wait_until([&] { return !GetUpdateRect(window, nullptr, FALSE); });
    const RECT mark{0, 0, 4, 4}; // neither label nor control there
    FillRect(win32::WindowDc(window).get(), &mark, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    main.cmdInfo.set_left(0);
    const Rect& b = main.cmdInfo.bounds();
    const RECT box = test::px(b.left, b.top, b.width, b.height);
    const COLORREF text = win32::to_colorref(main.cmdInfo.fore_color());
    REQUIRE(test::wait_until([&] { return test::Capture(window, box).count(box, text) > 5; }, 3000));
    CHECK(test::Capture(window, mark).at(1, 1) == RGB(255, 255, 255));
}

// A tick moves the banner 25 twips; at these scales its edges fall on at most 12 pixel phases.
TEST_CASE_FIXTURE(test::Shown, "at every scale, wherever it stands, the banner's box holds its whole text on one line")
{
    const std::int16_t left_limit = main.HScroll1.min();
    for (const int scale : {96, 120, 144, 168, 192, 216, 288, 336}) {
        CAPTURE(scale);
        RECT at{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(scale, scale), reinterpret_cast<LPARAM>(&at));
        FontCache fonts(Dpi{scale});
        const MemoryDc dc(CreateCompatibleDC(nullptr));
        const Selection font(dc.get(), fonts.get(main.cmdInfo.font()));
        SIZE text{};
        GetTextExtentPoint32W(dc.get(), L"CLICK HERE FOR INFORMATION", 26, &text);
        CHECK(Dpi{scale}.to_pixels(main.cmdInfo.width()) == text.cx); // fitted again at this scale
        for (int tick = 0; tick < 12; ++tick) {
            main.cmdInfo.set_left(25.0f * static_cast<float>(tick));
            const RECT box = label_box(main.cmdInfo, Dpi{scale});
            CHECK(box.right - box.left >= text.cx);
            CHECK(drawn_width(main.cmdInfo, fonts, box) >= text.cx * 9 / 10); // wrapped, about half shows
        }
    }
    CHECK(main.HScroll1.min() == left_limit); // the range stays as set at load
}

TEST_CASE_FIXTURE(test::Shown, "the information window comes back where the user left it; loaded afresh, it is centred")
{
    // Where it shows; then the user moves it, and hides it with the mask or closes it.
    const auto open = [&](bool close) {
        RECT shown_at{};
        soon(100, [&] {
            const HWND info = platform.window_of(*main.info());
            GetWindowRect(info, &shown_at);
            SetWindowPos(info, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            close ? (void)SendMessageW(info, WM_CLOSE, 0, 0) : test::click(info, 100, 100, 100, 100); // the mask
        });
        test::click(window, 100, 4700, 100, 4700);
        return std::pair{shown_at.left, shown_at.top};
    };
    open(false);
    CHECK(open(true) == std::pair{7L, 9L});
    CHECK(open(false) != std::pair{7L, 9L});
}

TEST_CASE_FIXTURE(test::Shown, "Enter on the list starts the tool once a press, under a box the main window owns")
{
    HWND owner = nullptr;
    BOOL enabled = TRUE;
    soon(100, [&] {
        const HWND box = FindWindowW(L"#32770", L"Done");
        owner = GetWindow(box, GW_OWNER);
        enabled = IsWindowEnabled(window);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    for (const auto& [at, held] : {std::pair{L"ListBox", 0}, {L"ListBox", 1 << 30}, {L"Button", 0}}) {
        PostMessageW(FindWindowExW(window, nullptr, at, nullptr), WM_KEYDOWN, VK_RETURN, held | 1);
        win32::pump_events();
    }
    inside_loop = nullptr; // where no box came up
    CHECK(platform.starts.size() == 1);
    CHECK(owner == window);
    CHECK_FALSE(enabled);
}

}
