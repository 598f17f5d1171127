// What only the real windows show of the program's behaviour: input reaching the handlers, the
// pointer images, and the information window modal over the main window.
#include <doctest.h>

#include <map>
#include <utility>

#include "platform/win32/colors.h"
#include "support.h"

using namespace platform;

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

HCURSOR pointer_at(const Form& form, float x, float y)
{
    const HWND w = test::window_of(form);
    POINT p{test::px(x), test::px(y)};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

const win32::FormWindow& peer_of(const Form& form) { return *static_cast<const win32::FormWindow*>(form.peer()); }

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
    CHECK(pointer_at(main, 100, 4700) == peer_of(main).pointer());
    const std::int16_t before = main.HScroll1.value();
    soon(300, [&] {
        frmInfo& info = *main.info();
        const HWND w = test::window_of(info);
        CHECK_FALSE(IsWindowEnabled(window));
        CHECK(GetWindow(w, GW_OWNER) == window);
        CHECK(main.HScroll1.value() != before);
        CHECK(pointer_at(info, 2000, 5500) == peer_of(info).pointer());
        CHECK(pointer_at(info, 2000, 3000) == arrow);
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(test::px(2000), test::px(5500)));
        CHECK(info.lblQarvel.fore_color() == frmInfo::link_hot);
        test::click(info, 2000, 5500, 2000, 3000); // pressed on the link, let go on the mask: no click
        CHECK(IsWindowVisible(w));
        test::click(info, 2000, 3000, 2000, 3000);
    });
    test::click(main, 100, 4700, 100, 4700);
    REQUIRE(main.info() != nullptr);
    CHECK(main.info()->state() == FormState::hidden);
    CHECK(test::wait_until([&] { return IsWindowEnabled(window) && GetActiveWindow() == window; }, 2000));
    soon(100, [] { PostQuitMessage(3); }); // the loop ends and passes the quit on
    test::click(main, 100, 4700, 100, 4700);
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
