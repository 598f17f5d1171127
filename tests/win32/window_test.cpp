// What only the real windows show of the program's behaviour: input reaching the handlers, the
// pointer images, and the information window modal over the main window.
#include <doctest.h>

#include <utility>

#include "platform/win32/colors.h"
#include "support.h"

using namespace platform;

namespace {

// Runs once, inside whatever message loop runs then: the user's doing while a window is modal.
std::function<void()> inside_loop;
void soon(int milliseconds, std::function<void()> action)
{
    inside_loop = std::move(action);
    SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        std::exchange(inside_loop, nullptr)();
    });
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

}
