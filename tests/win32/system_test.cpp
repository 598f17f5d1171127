#include <doctest.h>

#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/open_address.h"
#include "platform/win32/text.h"

using namespace platform;
using namespace platform::win32;

TEST_SUITE("system") {

TEST_CASE("the pump handles what is pending and returns; a quit it meets is posted again")
{
    pump_events(); // nothing pending: returns at once
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    PostQuitMessage(7);
    pump_events();
    MSG message{};
    REQUIRE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    CHECK(message.message == WM_QUIT);
    CHECK(message.wParam == 7);
    CHECK_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)); // the pending message was handled
}

TEST_CASE("the application facts: this program's folder, found even when the first buffer is too small")
{
    CHECK(folder_of(L"C:\\Vintrel.exe") == L"C:\\");
    CHECK(folder_of(L"D:\\Games\\BG\\Vintrel.exe") == L"D:\\Games\\BG");
    const std::wstring full = program_path();
    CHECK(program_path(4) == full);
    CHECK(program_path(full.size()) == full); // exactly full: GetModuleFileNameW truncates without room for the nul
    CHECK(read_app_facts().folder == narrow(folder_of(full)));
}

// Sizes at 96 and 144 dpi are checked on the window itself, in form_window.
TEST_CASE("rectangles that touch in twips touch in pixels, at any resolution; negative places round too")
{
    CHECK(Dpi{96}.to_pixels(-510) == -34);
    for (int value : {96, 120, 144, 168, 192}) {
        CAPTURE(value);
        const Dpi dpi{value};
        CHECK(dpi.to_pixels(Rect{100, 100, 1001, 500}).right == dpi.to_pixels(Rect{1101, 100, 700, 500}).left);
    }
}

TEST_CASE("only web and mail addresses go to the shell")
{
    CHECK(is_web_address("HTTPS://example.org"));
    CHECK(is_web_address("mailto:someone@example.org"));
    CHECK_FALSE(is_web_address("file:///C:/x.exe"));
    CHECK_THROWS_AS(open_address("calc.exe"), Failure);
}

}
