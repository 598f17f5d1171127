// What only the real windows show of the program's behaviour: input reaching the handlers, the
// pointer images, the information window modal over the main window and where it comes back,
// and the banner as drawn at every scale.
#include <doctest.h>

#include <map>
#include <utility>

#include "info_window/frm_info.h"
#include "platform/win32/painting/colors.h"
#include "platform/win32/painting/label_painter.h"
#include "platform/win32/window/form_window.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

namespace {

// Runs once, inside whatever message loop runs then: the user's doing while a window is modal.
std::map<UINT_PTR, std::function<void()>> inside_loop;
void soon(int milliseconds, std::function<void()> action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (const auto found = inside_loop.extract(id))
            found.mapped()();
    });
    inside_loop[id] = std::move(action);
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

// What Windows' own reads of a scroll bar control see: its state, with no message to the control.
// Under Wine they ask the control; its class's procedure, past any subclass, answers as Windows.
std::vector<int> held_by(HWND bar)
{
    SCROLLINFO info{.cbSize = sizeof info, .fMask = SIF_RANGE | SIF_POS};
    const auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(bar, GCLP_WNDPROC));
    CallWindowProcW(own, bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    return {info.nMin, info.nMax, info.nPos};
}

} // namespace

TEST_SUITE("window") {

TEST_CASE_FIXTURE(test::Shown, "the information window: modal and owned, the banner running on; the pointer images; a "
                               "click is a press and release on one label")
{
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    CHECK(pointer_at(window, 100, 4700) == platform.peer_of(main)->pointer());
    const std::int16_t before = main.HScroll1.value();
    soon(300, [&] {
        frmInfo& info = *main.info();
        const HWND w = platform.window_of(info);
        CHECK_FALSE(IsWindowEnabled(window));
        CHECK(GetWindow(w, GW_OWNER) == window);
        CHECK(main.HScroll1.value() != before);
        CHECK(pointer_at(w, 2000, 5500) == platform.peer_of(info)->pointer());
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

// The layout's boxes were measured with the raster face at 96 dpi; at other scales its twin draws.
TEST_CASE_FIXTURE(test::Shown, "at every scale each label's text and the check box's caption fit their boxes whole")
{
    frmInfo info(platform);
    info.show();
    for (const int scale : {96, 120, 144, 168, 192, 216, 288}) {
        CAPTURE(scale);
        FontCache fonts(Dpi{scale});
        const MemoryDc dc(CreateCompatibleDC(nullptr));
        for (const Form* form : {static_cast<const Form*>(&main), static_cast<const Form*>(&info)})
            for (const Label* label : form->labels()) {
                if (label->caption().empty() || label->auto_size())
                    continue;
                CAPTURE(label->name());
                RECT box = label_box(*label, Dpi{scale});
                if (label->border() == Border::single)
                    InflateRect(&box, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
                const Selection font(dc.get(), fonts.get(label->font()));
                const std::wstring text = widen(label->caption());
                RECT needed{0, 0, box.right - box.left, 0};
                DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
                          DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                CHECK(needed.right <= box.right - box.left);
                CHECK(needed.bottom <= box.bottom - box.top);
            }
        const Selection font(dc.get(), fonts.get(main.chkSwitches.layout().font));
        SIZE caption{};
        GetTextExtentPoint32W(dc.get(), L"Extract from BIF.", 17, &caption);
        const RECT box = Dpi{scale}.to_pixels(main.chkSwitches.bounds());
        CHECK(caption.cx + MulDiv(13 + 4, scale, 96) <= box.right - box.left); // after the box and its gap
    }
    info.unload();
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

// Windows makes a new window where it puts new windows, at that screen's scale; placed over its
// owner on a screen of another scale, the window's size changes with the scale.
TEST_CASE_FIXTURE(test::Shown, "the information window is made over its owner, and centred again at a new scale "
                               "before it first shows")
{
    frmInfo info(platform);
    info.load();
    const HWND w = platform.window_of(info);
    RECT owner, made;
    GetWindowRect(window, &owner);
    GetWindowRect(w, &made);
    CHECK(PtInRect(&owner, POINT{made.left, made.top}));
    const int dpi = 2 * test::screen_dpi();
    RECT suggested{0, 0, 10, 10};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client, placed;
    GetClientRect(w, &client);
    GetWindowRect(w, &placed);
    CHECK(client.right == Dpi{dpi}.to_pixels(info.layout().client_width));
    CHECK(std::abs((placed.left + placed.right) - (owner.left + owner.right)) <= 2);
    CHECK(std::abs((placed.top + placed.bottom) - (owner.top + owner.bottom)) <= 2);
    info.unload();
}

TEST_CASE_FIXTURE(test::Shown, "Enter on the list starts the tool once a press, under a box the main window owns")
{
    HWND owner = nullptr;
    BOOL enabled = TRUE;
    soon(100, [&] {
        const HWND box = FindWindowW(L"#32770", L"Done");
        owner = GetWindow(box, GW_OWNER);
        enabled = IsWindowEnabled(window);
        // Typed ahead to the list while the box is up: the window under the box hears nothing.
        PostMessageW(FindWindowExW(window, nullptr, L"ListBox", nullptr), WM_KEYDOWN, VK_RETURN, 1);
        win32::pump_events();
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    soon(1500, [] { // a second box, where one came up, is ended from outside
        if (const HWND box = FindWindowW(L"#32770", L"Done"))
            PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    for (const auto& [at, held] : {std::pair{L"ListBox", 0}, {L"ListBox", 1 << 30}, {L"Button", 0}}) {
        PostMessageW(FindWindowExW(window, nullptr, at, nullptr), WM_KEYDOWN, VK_RETURN, held | 1);
        win32::pump_events();
    }
    inside_loop.clear(); // where no box came up
    CHECK(platform.starts.size() == 1);
    CHECK(owner == window);
    CHECK_FALSE(enabled);
}

TEST_CASE_FIXTURE(test::Shown, "the hidden scroll bar holds the banner's place and range after every tick, the jump "
                               "back too, for readers that ask it and those that do not")
{
    const HWND bar = FindWindowExW(window, nullptr, L"ScrollBar", nullptr);
    const ScrollBar& kept = main.HScroll1;
    for (int tick = 0; tick < 3; ++tick) {
        CAPTURE(tick);
        if (tick == 2)
            main.HScroll1.set_value(static_cast<std::int16_t>(kept.min() + 24)); // the next tick jumps back
        const std::int16_t before = kept.value();
        REQUIRE(test::wait_until([&] { return kept.value() != before; }, 2000));
        const std::vector<int> held = held_by(bar), model{kept.min(), kept.max(), kept.value()};
        CHECK(held == model);
        int low = 0, high = 0;
        GetScrollRange(bar, SB_CTL, &low, &high);
        SCROLLINFO read{.cbSize = sizeof read, .fMask = SIF_RANGE | SIF_POS};
        GetScrollInfo(bar, SB_CTL, &read);
        CHECK(std::vector{low, high, GetScrollPos(bar, SB_CTL), read.nMin, read.nMax, read.nPos} ==
              std::vector{model[0], model[1], model[2], model[0], model[1], model[2]});
    }
    CHECK(kept.value() == kept.max()); // the last tick jumped back
}

TEST_CASE_FIXTURE(test::Shown, "the check box: ticked at start; space, a click and both clicks of a double-click "
                               "toggle it, the button's state in step with the value; grayed is its third state")
{
    const HWND box = FindWindowExW(window, nullptr, L"Button", nullptr);
    const auto state = [&] { return std::pair{SendMessageW(box, BM_GETCHECK, 0, 0), main.chkSwitches.value()}; };
    using State = std::pair<LRESULT, CheckValue>;
    CHECK(state() == State{BST_CHECKED, CheckValue::ticked});
    SetFocus(box);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(box, WM_KEYUP, VK_SPACE, 0xC0000001);
    CHECK(state() == State{BST_UNCHECKED, CheckValue::clear});
    const LPARAM inside = MAKELPARAM(10, 10);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(box, WM_LBUTTONUP, 0, inside);
    CHECK(state() == State{BST_CHECKED, CheckValue::ticked});
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SendMessageW(box, WM_LBUTTONUP, 0, inside);
    CHECK(state() == State{BST_UNCHECKED, CheckValue::clear});
    main.chkSwitches.set_value(CheckValue::grayed);
    CHECK(state() == State{BST_INDETERMINATE, CheckValue::grayed});
}

TEST_CASE_FIXTURE(test::Shown,
                  "a tick's pump inside a loop of the system's own: a message box's keys reach the box, the "
                  "release that ends a scroll bar's drag is left to the drag")
{
    bool rescued = false; // the box or the drag had to be ended from outside
    soon(200, [&] {
        SetActiveWindow(window); // the window under the box takes activation back
        CHECK(GetFocus() == window);
        platform.pump_events();                             // a tick
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1); // Enter, while a tick runs
        platform.pump_events();
    });
    soon(1500, [&] {
        if (const HWND box = FindWindowW(nullptr, L"Done"); box && IsWindowVisible(box) && (rescued = true))
            SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform.message_box(main, "Files were extracted!", "Done");
    CHECK_FALSE(rescued);

    rescued = false;
    const HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
    for (int i = 0; i < 100; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"more.bif"));
    RECT frame;
    GetWindowRect(list, &frame);
    const POINT on_bar{frame.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, (frame.top + frame.bottom) / 2};
    soon(200, [&] {
        CHECK(GetCapture() == list);
        INPUT release{INPUT_MOUSE, {.mi = {0, 0, 0, MOUSEEVENTF_LEFTUP}}};
        SendInput(1, &release, sizeof release);
        platform.pump_events();
    });
    soon(1500, [&] {
        if (GetCapture() == list && (rescued = true))
            ReleaseCapture();
    });
    CHECK(SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(on_bar.x, on_bar.y)) == HTVSCROLL);
    win32::dispatch(MSG{list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(on_bar.x, on_bar.y)});
    CHECK_FALSE(rescued);
    CHECK(platform.failures.empty());
}

}
