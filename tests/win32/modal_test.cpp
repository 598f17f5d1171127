#include <doctest.h>

#include <functional>

#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

// Runs once, inside whatever message loop is running then: the user's doing while a window is modal.
std::function<void()> inside_loop;
void CALLBACK run_inside(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto action = std::move(inside_loop);
    inside_loop = nullptr;
    if (action)
        action();
}
void soon(std::function<void()> action)
{
    inside_loop = std::move(action);
    SetTimer(nullptr, 0, 30, run_inside);
}

struct Windows {
    test::Platform platform;
    test::Form main{platform};
    test::Form tool{platform, test::tool_layout()};
    Windows() { main.show(); }
    ~Windows()
    {
        tool.unload();
        main.unload();
        test::take_quit();
    }
};

} // namespace

TEST_SUITE("modal") {

TEST_CASE("modal: the owner takes no input meanwhile, gets it back and is activated when the window hides")
{
    Windows w;
    bool owner_enabled_meanwhile = true, tool_visible = false, owned = false, tool_window = false;
    LONG centre_offset = 1000;
    soon([&] {
        const HWND tool = w.tool.window();
        owner_enabled_meanwhile = IsWindowEnabled(w.main.window()) != FALSE;
        tool_visible = IsWindowVisible(tool) != FALSE;
        owned = GetWindow(tool, GW_OWNER) == w.main.window();
        tool_window = (GetWindowLongPtrW(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
        RECT a, b;
        GetWindowRect(tool, &a);
        GetWindowRect(w.main.window(), &b);
        centre_offset = std::abs((a.top + a.bottom) - (b.top + b.bottom)) / 2;
        w.tool.hide();
    });
    const int activations = w.main.activations;
    w.tool.show_modal(w.main);
    CHECK_FALSE(owner_enabled_meanwhile);
    CHECK(tool_visible);
    CHECK(owned);
    CHECK(tool_window);
    CHECK(centre_offset <= 1);
    CHECK(w.tool.state() == FormState::hidden);
    CHECK(IsWindowEnabled(w.main.window()));
    test::pump_for(50);
    CHECK(GetActiveWindow() == w.main.window());
    CHECK(w.main.activations > activations);
}

TEST_CASE("modal: the close button unloads the window, and the next opening starts afresh")
{
    Windows w;
    soon([&] {
        w.tool.banner.set_left(1000);
        PostMessageW(w.tool.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    w.tool.show_modal(w.main);
    CHECK(w.tool.state() == FormState::not_loaded);
    CHECK(IsWindowEnabled(w.main.window()));
    soon([&] { w.tool.hide(); });
    w.tool.show_modal(w.main);
    CHECK(w.tool.banner.left() == doctest::Approx(-510));
    CHECK(w.tool.window() != nullptr);
}

TEST_CASE("modal: a quit request ends the loop and is passed on; unloading inside the loop is safe")
{
    Windows w;
    soon([] { PostQuitMessage(3); });
    w.tool.show_modal(w.main);
    CHECK(test::take_quit() == 3);
    CHECK(IsWindowEnabled(w.main.window()));

    w.tool.hide();
    soon([&] { w.tool.unload(); });
    w.tool.show_modal(w.main);
    CHECK_FALSE(w.tool.loaded());
    CHECK(IsWindowEnabled(w.main.window()));
}

}
