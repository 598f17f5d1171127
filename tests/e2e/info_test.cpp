// A click on the bottom strip opens the modal information window; its link opens the web site.
#include <doctest.h>

#include "support/files.h"
#include "support/game.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/text.h"
#include "support/ui.h"
#include "support/vintrel.h"

#include <windows.h>

#include <cstdlib>
#include <string>

using namespace e2e;

namespace {

// Points the prefix's browser at the recording stub for the test's length. The stub writes where
// VINTREL_BROWSER_RECORD says: set before Wine starts, since Wine hands Unix programs the
// environment it was started with.
class BrowserStub {
public:
    explicit BrowserStub(const std::string& stub)
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        std::wstring value = wide(stub);
        RegSetValueExW(key_, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    ~BrowserStub()
    {
        RegDeleteValueW(key_, L"Browsers");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
};

// Client pixels of a twips position at the screen's resolution.
int px(int twips)
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

HWND open_info(const Vintrel& app)
{
    bring_to_front(app.main());
    SIZE size = client_size(app.main());
    click(client_to_screen(app.main(), size.cx / 3, px(4200 + 300)));
    HWND info = nullptr;
    wait_until([&] { return (info = find_top_window(app.process().id(), "About: Vintrel")) != nullptr; }, 10000);
    return info;
}

POINT center(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST_CASE("the information window is modal to the main window, and its link opens the web site")
{
    std::string browser_record = option("browser-record");
    DeleteFileW(wide(windows_path(browser_record)).c_str());
    BrowserStub stub(option("browser-stub"));

    Game game("vintrel-e2e-info");
    game.add_file("a.bif");
    Vintrel app(game);

    HWND info = open_info(app);
    REQUIRE(info != nullptr);
    CHECK(GetWindow(info, GW_OWNER) == app.main());
    CHECK((GetWindowLongW(info, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);
    CHECK_FALSE(IsWindowEnabled(app.main()));
    // Its labels and link are drawn by the window itself.
    CHECK(children(info).empty());

    RECT main_rect{}, info_rect{};
    GetWindowRect(app.main(), &main_rect);
    GetWindowRect(info, &info_rect);
    POINT a = center(main_rect), b = center(info_rect);
    CHECK(std::abs(a.x - b.x) <= 2);
    CHECK(std::abs(a.y - b.y) <= 2);

    Sleep(300);
    Capture title = capture_client(info, {px(120), px(120), px(120 + 4335), px(120 + 615)});
    CHECK(title.count([](Rgb p) { return close_to(p, rgb(0x03BBE9), 24); }) > 10);

    // A click in the upper part hides it and gives the main window its input back.
    click(client_to_screen(info, px(2400), px(3000)));
    REQUIRE(wait_until([&] { return !IsWindow(info) || !IsWindowVisible(info); }, 5000));
    CHECK(IsWindowEnabled(app.main()));
    bool was_ticked = SendMessageW(app.check_box(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    bring_to_front(app.main());
    click(center(screen_client_rect(app.check_box())));
    CHECK((SendMessageW(app.check_box(), BM_GETCHECK, 0, 0) == BST_CHECKED) != was_ticked);

    info = open_info(app);
    REQUIRE(info != nullptr);
    RECT link{px(120), px(5400), px(120 + 4335), px(5400 + 255)};
    Capture before = capture_client(info, link);
    auto hover = [](Rgb p) { return close_to(p, rgb(0xC000C0), 24); };
    CHECK(before.count(hover) == 0);
    move_pointer(client_to_screen(info, px(120) + 40, (link.top + link.bottom) / 2));
    CHECK(wait_until([&] { return capture_client(info, link).count(hover) > 10; }, 3000));

    click(client_to_screen(info, px(120) + 40, (link.top + link.bottom) / 2));
    std::string address;
    wait_until([&] { return !(address = read_file(windows_path(browser_record))).empty(); }, 15000);
    CHECK(address == "http://www.qarvel.example/\n");

    // The close button unloads it.
    if (IsWindow(info)) {
        PostMessageW(info, WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(wait_until([&] { return !IsWindow(info); }, 5000));
    }
    CHECK(wait_until([&] { return IsWindowEnabled(app.main()) != FALSE; }, 3000));
}
