#include <doctest.h>

#include "helpers.h"
#include "platform/win32/event_pump.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

Dpi dpi_of(const test::Form& form) { return static_cast<FormWindow*>(form.peer())->dpi(); }

SIZE window_size(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE client_size(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

} // namespace

TEST_SUITE("form_window") {

TEST_CASE("the main window: its client area from the layout, a fixed frame, its caption and icon")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND window = form.window();
    REQUIRE(window);
    const Dpi dpi = dpi_of(form);
    CHECK(dpi.value == static_cast<int>(GetDpiForWindow(window)));
    CHECK(client_size(window).cx == dpi.to_pixels(2295));
    CHECK(client_size(window).cy == dpi.to_pixels(4800));
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_MINIMIZEBOX) != 0);
    CHECK((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0);
    CHECK((style & WS_CLIPCHILDREN) != 0);
    CHECK(SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0);
    CHECK(SendMessageW(window, WM_GETICON, ICON_SMALL, 0) != 0);
    CHECK(form.outer_width() == doctest::Approx(dpi.to_twips(window_size(window).cx)));

    form.set_caption("Vintrel \xC3\xA4");
    wchar_t caption[32] = {};
    GetWindowTextW(window, caption, 32);
    CHECK(std::wstring(caption) == L"Vintrel \u00E4");

    const Size one = form.peer()->measure_text(Font{"MS Sans Serif", 12, true, false}, "CLICK");
    const Size two = form.peer()->measure_text(Font{"MS Sans Serif", 12, true, false}, "CLICK HERE");
    CHECK(one.width > 0);
    CHECK(two.width > one.width);
    CHECK(one.height == doctest::Approx(two.height));
    // Unloaded by the program, the main window still ends it.
    form.unload();
    CHECK(test::take_quit() == 0);
}

TEST_CASE("the list box: a real list in the model's order, its exact size, its events to the model")
{
    const test::TempFolder folder("vintrel-list");
    folder.touch("b.bif");
    folder.touch("A.BIF");
    folder.touch("c.bif");
    folder.touch("hidden.bif", FILE_ATTRIBUTE_HIDDEN);
    folder.touch("notes.txt");
    for (int i = 0; i < 40; ++i)
        folder.touch("many" + std::to_string(i) + ".bif");
    test::Platform platform;
    test::Form form(platform);
    form.show();
    form.list.set_folder(folder.path());
    int double_clicks = 0;
    form.list.on_double_click = [&] { ++double_clicks; };

    const HWND list = form.child(L"ListBox");
    REQUIRE(list);
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    CHECK((style & (LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_BORDER)) ==
          (LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_BORDER));
    CHECK((style & LBS_SORT) == 0);
    const RECT bounds = dpi_of(form).to_pixels(form.list.bounds());
    CHECK(window_size(list).cx == bounds.right - bounds.left);
    CHECK(window_size(list).cy == bounds.bottom - bounds.top);

    REQUIRE(SendMessageW(list, LB_GETCOUNT, 0, 0) == 43);
    for (int i = 0; i < 43; ++i) {
        wchar_t item[64] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        CHECK(narrow(item) == form.list.names()[static_cast<std::size_t>(i)]);
    }

    const int id = GetDlgCtrlID(list);
    SendMessageW(list, LB_SETCURSEL, 42, 0);
    SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    CHECK(form.list.selected_name() == form.list.names()[42]);
    SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    CHECK(double_clicks == 1);
    form.unload();
    test::take_quit();
}

TEST_CASE("the check box: owner-drawn, readable as a check box, toggled by a click")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND check = form.child(L"Button");
    REQUIRE(check);
    CHECK((GetWindowLongPtrW(check, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);
    wchar_t caption[64] = {};
    GetWindowTextW(check, caption, 64);
    CHECK(std::wstring(caption) == L"Extract from BIF.");
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED);
    SendMessageW(check, BM_CLICK, 0, 0);
    CHECK(form.check.value() == CheckValue::clear);
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    form.check.set_value(CheckValue::grayed);
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
    SendMessageW(check, BM_CLICK, 0, 0);
    CHECK(form.check.value() == CheckValue::clear);
    form.unload();
    test::take_quit();
}

TEST_CASE("the scroll bar mirrors the model and lies wholly behind the list box")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND scroll = form.child(L"ScrollBar");
    const HWND list = form.child(L"ListBox");
    REQUIRE(scroll);
    form.scroll.set_min(-510);
    form.scroll.set_max(2400);
    form.scroll.set_value(1234);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(scroll, SB_CTL, &info);
    CHECK(info.nMin == -510);
    CHECK(info.nMax == 2400);
    CHECK(info.nPos == 1234);

    RECT s, l, both;
    GetWindowRect(scroll, &s);
    GetWindowRect(list, &l);
    UnionRect(&both, &s, &l);
    CHECK(EqualRect(&both, &l));
    bool below = false;
    for (HWND w = GetWindow(list, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        below = below || w == scroll;
    CHECK(below);
    form.unload();
    test::take_quit();
}

TEST_CASE("Tab moves the focus list, scroll bar, check box and round; Shift+Tab back")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND list = form.child(L"ListBox"), scroll = form.child(L"ScrollBar"), check = form.child(L"Button");
    SetFocus(list);
    REQUIRE(GetFocus() == list);
    auto tab = [](bool shift) {
        MSG message{};
        message.hwnd = GetFocus();
        message.message = WM_KEYDOWN;
        message.wParam = VK_TAB;
        if (shift) {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_SHIFT] = 0x80;
            SetKeyboardState(keys);
            dispatch(message);
            keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
        } else {
            dispatch(message);
        }
        return GetFocus();
    };
    CHECK(tab(false) == scroll);
    CHECK(tab(false) == check);
    CHECK(tab(false) == list);
    CHECK(tab(true) == check);
    form.unload();
    test::take_quit();
}

TEST_CASE("the timer ticks while the model's runs, and stops when it stops")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    form.timer.set_interval(15);
    test::pump_for(300);
    CHECK(form.ticks >= 3);
    form.timer.set_enabled(false);
    const int ticks = form.ticks;
    test::pump_for(150);
    CHECK(form.ticks == ticks);
    form.unload();
    test::take_quit();
}

TEST_CASE("at a new resolution the window, its controls and their fonts are laid out again")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const HWND window = form.window();
    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    CHECK(dpi_of(form).value == 144);
    CHECK(client_size(window).cx == 230);
    CHECK(client_size(window).cy == 480);
    const HWND list = form.child(L"ListBox");
    CHECK(window_size(list).cx == Dpi{144}.to_pixels(120 + 2055) - Dpi{144}.to_pixels(120));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(font.lfHeight == -Dpi{144}.font_height(8.25f));
    form.unload();
    test::take_quit();
}

TEST_CASE("closing the main window ends the program; its peer then does nothing")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    const float width = form.outer_width();
    SendMessageW(form.window(), WM_CLOSE, 0, 0);
    CHECK(form.state() == FormState::not_loaded);
    CHECK(form.window() == nullptr);
    CHECK(test::take_quit() == 0);
    WindowPeer* peer = form.peer();
    REQUIRE(peer);
    peer->label_changed(form.banner, form.banner.bounds());
    peer->control_changed(form.list);
    peer->caption_changed();
    peer->show();
    peer->hide();
    CHECK(peer->outer_width() == doctest::Approx(width).epsilon(0.05));
}

TEST_CASE("the main window closed during its own tick's event pump: the tick goes on safely")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    bool done = false;
    form.on_tick = [&] {
        form.timer.set_enabled(false);
        PostMessageW(form.window(), WM_CLOSE, 0, 0);
        platform.pump_events(); // the close is handled here, under the tick
        form.banner.set_left(form.banner.left() - 25);
        form.scroll.set_value(10);
        form.list.select(-1);
        done = true;
    };
    form.timer.set_interval(10);
    test::pump_for(300);
    CHECK(done);
    CHECK(form.state() == FormState::not_loaded);
    CHECK(test::take_quit() == 0);
    CHECK(platform.failures.empty());
}

TEST_CASE("a form unloaded by its own click handler: the window goes, nothing of it is touched again")
{
    test::Platform platform;
    test::Form form(platform);
    form.show();
    form.strip.on_click = [&] { form.unload(); };
    const HWND window = form.window();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 310));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 310));
    CHECK_FALSE(form.loaded());
    CHECK_FALSE(IsWindow(window));
    CHECK(test::take_quit() == 0);
    // Loaded again: a new window from the layout.
    form.show();
    CHECK(form.window() != nullptr);
    CHECK(form.check.value() == CheckValue::ticked);
    form.unload();
    test::take_quit();
}

}
