#include <doctest.h>

#include "platform/failure.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/folder_reader.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

TEST_SUITE("form_window") {

TEST_CASE_FIXTURE(test::Shown, "the client area from the layout, laid out again with the fonts at a new resolution")
{
    const HWND window = form.window(), list = form.child(L"ListBox");
    const auto client_size = [](HWND w) { RECT r; GetClientRect(w, &r); return SIZE{r.right, r.bottom}; };
    CHECK(client_size(window).cx == form.dpi().to_pixels(2295));
    CHECK(client_size(window).cy == form.dpi().to_pixels(4800));
    CHECK((GetWindowLongPtrW(window, GWL_STYLE) & WS_CLIPCHILDREN) != 0);

    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    CHECK(form.dpi().value == 144);
    CHECK(client_size(window).cx == 230);
    CHECK(client_size(window).cy == 480);
    RECT bounds;
    GetWindowRect(list, &bounds);
    CHECK(bounds.right - bounds.left == Dpi{144}.to_pixels(120 + 2055) - Dpi{144}.to_pixels(120));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(font.lfHeight == -Dpi{144}.font_height(8.25f));
}

TEST_CASE_FIXTURE(test::Shown, "the list shows the model's names in its order, hidden files and folders left out")
{
    const test::TempFolder folder("vintrel-list");
    for (const char* name : {"b.bif", "A.BIF", "notes.txt"})
        folder.touch(name);
    folder.touch("hidden.bif", FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW(widen(folder.file("sub.bif")).c_str(), nullptr);
    form.list.set_folder(folder.path());
    const HWND list = form.child(L"ListBox");
    CHECK((GetWindowLongPtrW(list, GWL_STYLE) & LBS_SORT) == 0); // the model's order, whatever the system's sort
    REQUIRE(SendMessageW(list, LB_GETCOUNT, 0, 0) == 2);
    wchar_t first[64] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    CHECK(narrow(first) == form.list.names()[0]);
    CHECK_THROWS_AS(read_folder(folder.file("missing")), Failure);
}

TEST_CASE_FIXTURE(test::Shown, "the check box is drawn by the program and toggled by a click")
{
    const HWND check = form.child(L"Button");
    CHECK((GetWindowLongPtrW(check, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);
    SendMessageW(check, BM_CLICK, 0, 0);
    CHECK(form.check.value() == CheckValue::clear);
    form.check.set_value(CheckValue::grayed);
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
}

TEST_CASE_FIXTURE(test::Shown, "the scroll bar lies wholly behind the list; Tab goes list, scroll bar, check box and round")
{
    const HWND list = form.child(L"ListBox"), scroll = form.child(L"ScrollBar"), check = form.child(L"Button");
    RECT s;
    GetWindowRect(scroll, &s);
    MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT*>(&s), 2);
    for (POINT corner : {POINT{s.left, s.top}, POINT{s.right - 1, s.bottom - 1}})
        CHECK(ChildWindowFromPointEx(form.window(), corner, CWP_ALL) == list); // the list covers it, above it

    SetFocus(list);
    REQUIRE(GetFocus() == list);
    auto tab = [](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        dispatch(MSG{.hwnd = GetFocus(), .message = WM_KEYDOWN, .wParam = VK_TAB});
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return GetFocus();
    };
    CHECK(tab(false) == scroll);
    CHECK(tab(false) == check);
    CHECK(tab(false) == list);
    CHECK(tab(true) == check);
}

TEST_CASE_FIXTURE(test::Shown, "the timer ticks while the model's runs, and stops when it stops")
{
    form.timer.set_interval(15);
    test::pump_for(300);
    CHECK(form.ticks >= 3);
    form.timer.set_enabled(false);
    const int ticks = form.ticks;
    test::pump_for(150);
    CHECK(form.ticks == ticks);
}

TEST_CASE_FIXTURE(test::Shown, "a main window closed or unloaded inside its own handlers ends the program and is not touched again")
{
    SUBCASE("closed during its own tick's event pump")
    {
        bool done = false;
        form.on_tick = [&] {
            form.timer.set_enabled(false);
            PostMessageW(form.window(), WM_CLOSE, 0, 0);
            platform.pump_events(); // the close is handled here, under the tick
            form.banner.set_left(form.banner.left() - 25);
            form.scroll.set_value(10);
            form.list.select(-1);
            form.set_caption("closed");
            done = true;
        };
        form.timer.set_interval(10);
        test::pump_for(300);
        CHECK(done);
    }
    SUBCASE("unloaded by its own click handler, then loaded afresh")
    {
        form.strip.on_click = [&] { form.unload(); };
        const HWND window = form.window();
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 310));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 310));
        CHECK_FALSE(IsWindow(window));
        CHECK(test::take_quit() == 0);
        form.show();
        CHECK(form.window() != nullptr);
        form.unload();
    }
    CHECK(form.state() == FormState::not_loaded);
    CHECK(form.window() == nullptr);
    CHECK(test::take_quit() == 0);
    CHECK(platform.failures.empty());
}

}
