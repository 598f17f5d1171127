// Whole journeys through the real Vintrel.exe, one scenario each, with real input. Places are
// read from the windows' own layouts.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include <cstdlib>
#include <fstream>

#include "driver.h"
#include "fake/fake_platform.h"
#include "info_window/frm_info.h"
#include "main_window/frm_main.h"

using namespace e2e;

namespace {

fake::Platform layout_platform;
const frmMain main_layout(layout_platform);
const frmInfo info_layout(layout_platform);

using test::px;
POINT centre(const platform::Rect& r) { return {px(r.left + r.width / 2), px(r.top + r.height / 2)}; }

HWND open_info(const Vintrel& app)
{
    bring_to_front(app.main);
    click(app.main, px(100), centre(main_layout.cmdClick.bounds()).y);
    return app.wait_window("About: Vintrel");
}

} // namespace

TEST_CASE("extract: in the demo game a double-click says Done and the archive's resources appear")
{
    Game game("vintrel-e2e-demo", false);
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION generator{};
    std::wstring line = L"\"" + test::widen(program(BIFDEMO_EXE)) + L"\" \"" + test::widen(game.root.path()) + L"\"";
    REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &generator));
    WaitForSingleObject(generator.hProcess, 30000);
    CloseHandle(generator.hThread);
    CloseHandle(generator.hProcess);
    game.install(program(BIFTOOL_EXE));
    SetEnvironmentVariableW(L"BIFTOOL_NO_WAIT", L"1"); // no key to wait for in its console

    Vintrel app(game);
    REQUIRE(list_items(app.list) ==
            std::vector<std::string>{"DEMOMAIN.bif", "DEMOPACK.bif", "DEMOTILE.bif", "DEMOZLIB.bif"});
    bring_to_front(app.main);
    click_item(app.list, 1, 2);
    const HWND done = app.wait_window("Done", L"#32770");
    REQUIRE(done != nullptr);
    CHECK(message_text(done) == "Files were extracted!");
    CHECK_FALSE(IsWindowEnabled(app.main));
    press_ok(done);
    for (const char* name : {"DEMOMAP.BMP", "GREETING.LUA", "SONGS.2DA"}) {
        CAPTURE(name);
        CHECK(test::wait_until([&] { return std::ifstream(test::widen(game.data + "\\DEMOPACK\\" + name).c_str()).good(); }));
    }
}

TEST_CASE("list: with the box cleared a double-click starts the tool on the archive, activated, and says nothing")
{
    Game game("vintrel e2e Zaub\xC3\xA9r");
    game.install(program(RECORD_CHILD_EXE));
    for (const char* name : {"b.bif", "A.BIF", "with blank.bif", "notes.txt"})
        game.root.write("data\\" + std::string(name));
    Vintrel app(game);
    REQUIRE(list_items(app.list) == std::vector<std::string>{"A.BIF", "b.bif", "with blank.bif"});
    bring_to_front(app.main);
    RECT box;
    GetClientRect(app.check, &box);
    click(app.check, box.right / 2, box.bottom / 2);
    REQUIRE(test::wait_until([&] { return SendMessageW(app.check, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 3000));
    click_item(app.list, 2, 2);
    auto record = test::wait_for_record(game.data + "\\record.txt");
    CHECK(record["line"] == "\"" + game.data + "\\biftool.exe\" \"with blank.bif\"");
    CHECK(record["show"] == "1");
    CHECK(app.message_box() == nullptr);
}

TEST_CASE("missing: without biftool.exe a double-click says where the files belong")
{
    Game game("vintrel-e2e-missing");
    game.install("");
    game.root.write("data\\a.bif");
    Vintrel app(game);
    bring_to_front(app.main);
    click_item(app.list, 0, 2);
    const HWND box = app.wait_window("Missing File", L"#32770");
    REQUIRE(box != nullptr);
    CHECK(message_text(box) == "You are missing the file \"biftool.exe or ..\\chitin.key\".\r\n"
                               "Please ensure biftool.exe is in the same\r\nfolder as the BIF files and this program,"
                               "\r\nand that chitin.key is in the folder one level up.");
    press_ok(box);
    CHECK(IsWindowEnabled(app.main));
}

TEST_CASE("banner: it runs leftwards along the strip at its pace and comes back in at the right")
{
    Game game("vintrel-e2e-banner");
    game.install("");
    Vintrel app(game);
    bring_to_front(app.main);
    RECT client, strip = test::px(0, main_layout.cmdInfo.bounds().top, 0, main_layout.cmdInfo.bounds().height);
    GetClientRect(app.main, &client);
    strip.right = client.right;
    const auto green = test::like(RGB(0, 0xC0, 0), 90);
    // Each run in from the right edge: first and last seen while its left end is in view.
    struct Sighting { int left; ULONGLONG time; } first{-1, 0}, last{-1, 0};
    bool at_edge = false;
    double speed = 0;
    std::string seen;
    CHECK(test::wait_until([&] {
        RECT box;
        const bool shown = test::capture(app.main, strip).count({0, 0, strip.right, strip.bottom - strip.top}, green, &box);
        const Sighting now{shown ? static_cast<int>(box.left) : -1, GetTickCount64()};
        seen += std::to_string(now.left) + " ";
        if (now.left > 0 && (first.left < 0 || now.left > last.left + client.right / 4)) {
            if (at_edge) // it came back in at the right
                speed = (first.left - last.left) * 1000.0 / static_cast<double>(last.time - first.time);
            first = last = now;
            at_edge = false;
        } else if (now.left > 0 && !at_edge) {
            last = now;
        }
        at_edge = at_edge || now.left == 0;
        return speed > 0;
    }, 20000));
    INFO("leftmost green pixel: " << seen);
    // 25 twips every 25 ms is 1000 twips a second; Wine's timers may lag, but not by half.
    CHECK(speed > px(1000) * 0.5);
    CHECK(speed < px(1000) * 1.5);
}

TEST_CASE("info: opened from the strip, its link lit and clicked, hidden by a click above, closed by its button")
{
    const std::string browser_record = std::getenv("VINTREL_BROWSER_RECORD");
    DeleteFileW(test::widen(program(browser_record.c_str())).c_str());
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const std::wstring stub = test::widen(std::getenv("VINTREL_BROWSER_STUB"));
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(stub.c_str()),
                   static_cast<DWORD>((stub.size() + 1) * sizeof(wchar_t)));
    Game game("vintrel-e2e-info");
    game.install("");
    Vintrel app(game);

    HWND info = open_info(app);
    REQUIRE(info != nullptr);
    CHECK(GetWindow(info, GW_OWNER) == app.main);
    CHECK_FALSE(IsWindowEnabled(app.main));
    const POINT link = centre(info_layout.lblQarvel.bounds());
    const RECT link_area = test::px(info_layout.lblQarvel.bounds().left, info_layout.lblQarvel.bounds().top,
                                    info_layout.lblQarvel.bounds().width, info_layout.lblQarvel.bounds().height);
    const auto lit = [&] { return test::capture(info, link_area).count({0, 0, link_area.right - link_area.left,
                                                                   link_area.bottom - link_area.top},
                                                                  test::like(RGB(0xC0, 0, 0xC0))) > 10; };
    CHECK_FALSE(lit());
    move_to(info, link.x, link.y);
    CHECK(test::wait_until(lit, 3000));
    click(info, link.x, link.y);
    std::string address;
    test::wait_until([&] {
        std::getline(std::ifstream(test::widen(program(browser_record.c_str())).c_str()), address);
        return !address.empty();
    }, 15000);
    CHECK(address == frmInfo::web_site);

    const POINT above = centre(info_layout.Label3.bounds());
    click(info, above.x, above.y);
    CHECK(test::wait_until([&] { return !IsWindowVisible(info); }, 3000));
    CHECK(test::wait_until([&] { return IsWindowEnabled(app.main) != FALSE; }, 3000));

    info = open_info(app);
    REQUIRE(info != nullptr);
    bring_to_front(info);
    press_keys({VK_MENU, VK_F4});
    CHECK(test::wait_until([&] { return !IsWindow(info); }, 3000));
    CHECK(test::wait_until([&] { return IsWindowEnabled(app.main) != FALSE; }, 3000));
    RegDeleteValueW(key, L"Browsers");
    RegCloseKey(key);
}

TEST_CASE("dpi: at the screen's resolution the main window and its controls take their laid-out places")
{
    if (const char* expected = std::getenv("EXPECT_DPI"))
        REQUIRE(test::screen_dpi() == std::atoi(expected));
    Game game("vintrel-e2e-dpi");
    game.install("");
    Vintrel app(game);
    RECT client;
    GetClientRect(app.main, &client);
    CHECK(client.right == px(main_layout.layout().client_width));
    CHECK(client.bottom == px(main_layout.layout().client_height));
    for (const auto& [child, bounds] : {std::pair{app.list, main_layout.filSource.bounds()},
                                        std::pair{app.check, main_layout.chkSwitches.bounds()}}) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, app.main, reinterpret_cast<POINT*>(&r), 2);
        CHECK(r.left == px(bounds.left));
        CHECK(r.bottom == px(bounds.bottom()));
    }
}
