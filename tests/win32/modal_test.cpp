#include <doctest.h>

#include <cstdlib>
#include <utility>

#include "test_form.h"

using namespace platform;

namespace {

// Runs once, inside whatever message loop is running then: the user's doing while a window is modal.
std::function<void()> inside_loop;
void soon(std::function<void()> action)
{
    inside_loop = std::move(action);
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        std::exchange(inside_loop, nullptr)();
    });
}

struct Windows : test::Shown {
    test::Form tool{platform, {.name = "frmTool", .caption = "Tool", .client_width = 4575, .client_height = 2000,
                               .border = BorderStyle::fixed_tool_window, .start = StartPosition::center_owner,
                               .in_taskbar = false}};
    ~Windows() { tool.unload(); }
};

} // namespace

TEST_SUITE("modal") {

TEST_CASE_FIXTURE(Windows, "the owner takes no input meanwhile, gets it back and is activated when the window hides")
{
    soon([&] { // Checked inside the modal loop, which does not end until the window hides.
        CHECK_FALSE(IsWindowEnabled(form.window()));
        CHECK(IsWindowVisible(tool.window()));
        CHECK(GetWindow(tool.window(), GW_OWNER) == form.window()); // owned: out of the task bar
        CHECK((GetWindowLongPtrW(tool.window(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW)) == WS_EX_TOOLWINDOW);
        RECT a, b; // centred on the owner
        GetWindowRect(tool.window(), &a);
        GetWindowRect(form.window(), &b);
        CHECK(std::abs((a.top + a.bottom) - (b.top + b.bottom)) + std::abs((a.left + a.right) - (b.left + b.right)) <= 2);
        tool.hide();
    });
    const int activations = form.activations;
    tool.show_modal(form);
    CHECK(tool.state() == FormState::hidden);
    CHECK(IsWindowEnabled(form.window()));
    test::pump_for(50);
    CHECK(GetActiveWindow() == form.window());
    CHECK(form.activations > activations);
}

TEST_CASE_FIXTURE(Windows, "the close button unloads the window and ends the loop")
{
    soon([&] { PostMessageW(tool.window(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    tool.show_modal(form);
    CHECK(tool.state() == FormState::not_loaded);
    CHECK(IsWindowEnabled(form.window()));
}

TEST_CASE_FIXTURE(Windows, "a quit request ends the loop and is passed on; unloading inside the loop is safe")
{
    soon([] { PostQuitMessage(3); });
    tool.show_modal(form);
    CHECK(test::take_quit() == 3);
    CHECK(IsWindowEnabled(form.window()));

    tool.hide();
    soon([&] { tool.unload(); });
    tool.show_modal(form);
    CHECK_FALSE(tool.loaded());
    CHECK(IsWindowEnabled(form.window()));
}

}
