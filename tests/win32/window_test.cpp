// What only the real windows show of the program's behaviour: input reaching the handlers, the
// pointer images, and the information window modal over the main window.
#include <doctest.h>

#include <utility>

#include "forms.h"
#include "platform/failure.h"

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

HCURSOR pointer_at(const Form& form, float x, float y)
{
    const HWND w = test::window_of(form);
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

TEST_CASE_FIXTURE(test::Shown, "the information window: modal and owned, the banner running on, hidden by the mask, closed by its button")
{
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    CHECK(pointer_at(main, 100, 4700) == platform.program_pointer());
    CHECK(pointer_at(main, 100, 100) == arrow);
    const std::int16_t before = main.HScroll1.value();
    soon(300, [&] {
        frmInfo& info = *main.info();
        const HWND w = test::window_of(info);
        CHECK(IsWindowVisible(w));
        CHECK_FALSE(IsWindowEnabled(window));
        CHECK(GetWindow(w, GW_OWNER) == window);
        CHECK(main.HScroll1.value() != before);
        CHECK(pointer_at(info, 2000, 5500) == platform.program_pointer());
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
    CHECK(platform.starts.empty());

    soon(100, [&] { PostMessageW(test::window_of(*main.info()), WM_SYSCOMMAND, SC_CLOSE, 0); });
    test::click(main, 100, 4700, 100, 4700);
    CHECK(main.info()->state() == FormState::not_loaded);
    CHECK(IsWindowEnabled(window));

    soon(100, [] { PostQuitMessage(3); }); // the loop ends and passes the quit on
    test::click(main, 100, 4700, 100, 4700);
    CHECK(quit_with(3));
    main.info()->unload();
    CHECK(platform.failures.empty());
}

TEST_CASE_FIXTURE(test::Shown, "a double-click in the list and a click on the check box reach the program")
{
    const HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
    const HWND check = FindWindowExW(window, nullptr, L"Button", nullptr);
    RECT item;
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(item.left + 5, item.top + 2));
    CHECK(main.selected_archive() == "b.bif");
    CHECK(platform.messages == std::vector<std::string>{"Done"});
    SendMessageW(check, BM_CLICK, 0, 0);
    CHECK(main.chkSwitches.value() == CheckValue::clear);
    main.chkSwitches.set_value(CheckValue::grayed);
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
}

TEST_CASE_FIXTURE(test::Shown, "a failure in a handler goes no further than the window procedure; "
                               "the main window closed inside its own tick ends the program")
{
    main.cmdClick.on_click = [] { throw Failure("Overflow"); };
    test::click(main, 100, 4700, 100, 4700);
    CHECK(platform.failures == std::vector<std::string>{"Overflow"});
    main.Timer1.on_tick = [&] {
        PostMessageW(window, WM_CLOSE, 0, 0);
        platform.pump_events();
        main.cmdInfo.set_left(0);
        main.HScroll1.set_value(0);
    };
    CHECK(test::wait_until([] { return quit_with(0); }, 3000));
    CHECK(main.state() == FormState::not_loaded);
    CHECK(platform.failures.size() == 1);
}

}
