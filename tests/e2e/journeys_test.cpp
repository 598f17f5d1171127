// Whole journeys through the real Vintrel.exe, one scenario each: started in a throw-away game
// folder, driven with real input, read back from its windows, the screen and what it started.
// Places are read from the windows' own layouts.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "fake/fake_platform.h"
#include "info_window/frm_info.h"
#include "main_window/frm_main.h"
#include "win32/support.h"

using test::px;

namespace {

std::string program(const char* unix_path) // as Wine names it
{
    std::string path = std::string("Z:") + unix_path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A game: data\ holds Vintrel.exe, `tool` as biftool.exe (if any) and the files; chitin.key lies above.
struct Game {
    test::TempFolder root;
    std::string data = root.file("data");
    Game(const std::string& name, const std::string& tool, const std::vector<std::string>& files = {}) : root(name)
    {
        root.write("chitin.key", "KEY V1  ");
        for (const std::string& file : files)
            root.write("data\\" + file);
        CreateDirectoryW(test::widen(data).c_str(), nullptr);
        CopyFileW(test::widen(program(VINTREL_EXE)).c_str(), test::widen(data + "\\Vintrel.exe").c_str(), FALSE);
        if (!tool.empty())
            CopyFileW(test::widen(tool).c_str(), test::widen(data + "\\biftool.exe").c_str(), FALSE);
    }
};

struct Vintrel {
    PROCESS_INFORMATION process{};
    HWND main = nullptr, list = nullptr, check = nullptr;

    explicit Vintrel(const Game& game)
    {
        // Started from another folder: the program must find its own.
        std::wstring line = L"\"" + test::widen(game.data) + L"\\Vintrel.exe\"";
        STARTUPINFOW startup{sizeof startup};
        REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               test::widen(game.root.path()).c_str(), &startup, &process));
        REQUIRE((main = wait_window("Vintrel")) != nullptr);
        WaitForInputIdle(process.hProcess, 5000);
        list = FindWindowExW(main, nullptr, L"ListBox", nullptr);
        check = FindWindowExW(main, nullptr, L"Button", nullptr);
        SetForegroundWindow(main);
        test::wait_until([&] { return GetForegroundWindow() == main; }, 2000);
    }
    ~Vintrel()
    {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // A visible top-level window of the program with this caption, once it shows.
    HWND wait_window(const std::string& caption) const
    {
        HWND found = nullptr;
        test::wait_until([&] {
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, test::widen(caption).c_str()));) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == process.dwProcessId && IsWindowVisible(w))
                    return (found = w) != nullptr;
            }
            return false;
        }, 20000);
        return found;
    }
};

std::string message_text(HWND box)
{
    // The icon is a static too, without text.
    wchar_t text[1024] = {};
    for (HWND c = nullptr; (c = FindWindowExW(box, c, L"Static", nullptr));)
        if (GetWindowTextW(c, text, 1024) > 0)
            return test::narrow(text);
    return {};
}

std::vector<std::string> list_items(HWND list)
{
    std::vector<std::string> items;
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(test::narrow(item));
    }
    return items;
}

// Real input: the pointer moved to a point of a window, then the left button pressed and let go.
void click(HWND window, POINT at, int times = 1)
{
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    std::vector<INPUT> events(1 + 2 * static_cast<std::size_t>(times), INPUT{INPUT_MOUSE});
    for (std::size_t i = 0; i < events.size(); ++i)
        events[i].mi.dwFlags = i == 0 ? MOUSEEVENTF_MOVE : i % 2 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

void press_keys(std::vector<WORD> keys)
{
    std::vector<INPUT> events;
    for (WORD key : keys)
        events.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = key}});
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        events.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = *key, .dwFlags = KEYEVENTF_KEYUP}});
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

fake::Platform layout_platform;
const frmMain main_layout(layout_platform);
const frmInfo info_layout(layout_platform);

RECT area(const platform::Rect& r) { return px(r.left, r.top, r.width, r.height); }
POINT centre(const platform::Rect& r) { return {px(r.left + r.width / 2), px(r.top + r.height / 2)}; }
POINT item(HWND list, int index)
{
    RECT r;
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return {r.left + 10, (r.top + r.bottom) / 2};
}
// How many pixels of a window's area are near the colour.
int shown(HWND window, RECT r, COLORREF color, RECT* box = nullptr)
{
    return test::capture(window, r).count({0, 0, r.right - r.left, r.bottom - r.top}, test::like(color, 90), box);
}

} // namespace

TEST_CASE("extract: in the demo game a double-click says Done and the archive's resources appear")
{
    Game game("vintrel-e2e-demo", program(BIFTOOL_EXE));
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION generator{};
    std::wstring line = L"\"" + test::widen(program(BIFDEMO_EXE)) + L"\" \"" + test::widen(game.root.path()) + L"\"";
    REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &generator));
    WaitForSingleObject(generator.hProcess, 30000);
    CloseHandle(generator.hThread);
    CloseHandle(generator.hProcess);
    SetEnvironmentVariableW(L"BIFTOOL_NO_WAIT", L"1"); // no key to wait for in its console

    Vintrel app(game);
    REQUIRE(list_items(app.list) == std::vector<std::string>{"DEMOMAIN.bif", "DEMOPACK.bif", "DEMOTILE.bif", "DEMOZLIB.bif"});
    click(app.list, item(app.list, 1), 2);
    const HWND done = app.wait_window("Done");
    REQUIRE(done != nullptr);
    CHECK(message_text(done) == "Files were extracted!");
    CHECK_FALSE(IsWindowEnabled(app.main));
    SendMessageW(GetDlgItem(done, IDOK), BM_CLICK, 0, 0);
    for (const char* name : {"DEMOMAP.BMP", "GREETING.LUA", "SONGS.2DA"}) {
        CAPTURE(name);
        CHECK(test::wait_until([&] { return std::ifstream(test::widen(game.data + "\\DEMOPACK\\" + name).c_str()).good(); }));
    }
    CHECK(IsWindowEnabled(app.main));
}

TEST_CASE("list: with the box cleared a double-click starts the tool on the archive, activated, and says nothing")
{
    Game game("vintrel e2e Zaub\xC3\xA9r", program(RECORD_CHILD_EXE), {"b.bif", "A.BIF", "with blank.bif", "notes.txt"});
    Vintrel app(game);
    REQUIRE(list_items(app.list) == std::vector<std::string>{"A.BIF", "b.bif", "with blank.bif"});
    click(app.main, centre(main_layout.chkSwitches.bounds()));
    REQUIRE(test::wait_until([&] { return SendMessageW(app.check, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 3000));
    click(app.list, item(app.list, 2), 2);
    auto record = test::wait_for_record(game.data + "\\record.txt");
    CHECK(record["line"] == "\"" + game.data + "\\biftool.exe\" \"with blank.bif\"");
    CHECK(record["show"] == "1");
    CHECK(IsWindowEnabled(app.main)); // no message box holds it
}

TEST_CASE("missing: without biftool.exe a double-click says where the files belong")
{
    Game game("vintrel-e2e-missing", "", {"a.bif"});
    Vintrel app(game);
    click(app.list, item(app.list, 0), 2);
    const HWND box = app.wait_window("Missing File");
    REQUIRE(box != nullptr);
    CHECK(message_text(box) == "You are missing the file \"biftool.exe or ..\\chitin.key\".\r\n"
                               "Please ensure biftool.exe is in the same\r\nfolder as the BIF files and this program,"
                               "\r\nand that chitin.key is in the folder one level up.");
}

TEST_CASE("banner: it runs leftwards along the strip at its pace and comes back in at the right")
{
    Game game("vintrel-e2e-banner", "");
    Vintrel app(game);
    RECT client, strip = area(main_layout.cmdInfo.bounds());
    GetClientRect(app.main, &client);
    strip.left = 0, strip.right = client.right;
    // Each run in from the right edge: first and last seen while its left end is in view.
    struct Sighting { int left; ULONGLONG time; } first{-1, 0}, last{-1, 0};
    bool at_edge = false;
    double speed = 0;
    std::string seen;
    CHECK(test::wait_until([&] {
        RECT box;
        const Sighting now{shown(app.main, strip, RGB(0, 0xC0, 0), &box) ? static_cast<int>(box.left) : -1, GetTickCount64()};
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
    const std::string record = program(std::getenv("VINTREL_BROWSER_RECORD"));
    DeleteFileW(test::widen(record).c_str());
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const std::wstring stub = test::widen(std::getenv("VINTREL_BROWSER_STUB"));
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(stub.c_str()),
                   static_cast<DWORD>((stub.size() + 1) * sizeof(wchar_t)));
    Game game("vintrel-e2e-info", "");
    Vintrel app(game);
    const auto open = [&] {
        click(app.main, centre(main_layout.cmdClick.bounds()));
        return app.wait_window("About: Vintrel");
    };
    HWND info = open();
    REQUIRE(info != nullptr);
    CHECK(GetWindow(info, GW_OWNER) == app.main);
    CHECK_FALSE(IsWindowEnabled(app.main));
    const auto lit = [&] { return shown(info, area(info_layout.lblQarvel.bounds()), frmInfo::link_hot) > 10; };
    CHECK_FALSE(lit());
    click(info, centre(info_layout.lblQarvel.bounds()));
    CHECK(test::wait_until(lit, 3000));
    std::string address;
    test::wait_until([&] { return std::getline(std::ifstream(test::widen(record).c_str()), address).good(); }, 15000);
    CHECK(address == frmInfo::web_site);

    click(info, centre(info_layout.Label3.bounds()));
    CHECK(test::wait_until([&] { return !IsWindowVisible(info) && IsWindowEnabled(app.main); }, 3000));
    REQUIRE(open() == info); // the same window again
    press_keys({VK_MENU, VK_F4});
    CHECK(test::wait_until([&] { return !IsWindow(info) && IsWindowEnabled(app.main); }, 3000));
    RegDeleteValueW(key, L"Browsers");
    RegCloseKey(key);
}

TEST_CASE("dpi: at the screen's resolution the main window and its controls take their laid-out places")
{
    if (const char* expected = std::getenv("EXPECT_DPI"))
        REQUIRE(test::screen_dpi() == std::atoi(expected));
    Game game("vintrel-e2e-dpi", "");
    Vintrel app(game);
    RECT client;
    GetClientRect(app.main, &client);
    CHECK(client.right == px(main_layout.layout().client_width));
    CHECK(client.bottom == px(main_layout.layout().client_height));
    for (const auto& [child, bounds] : {std::pair{app.list, main_layout.filSource.bounds()},
                                        std::pair{app.check, main_layout.chkSwitches.bounds()}}) {
        RECT r, expected = area(bounds);
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, app.main, reinterpret_cast<POINT*>(&r), 2);
        CHECK(EqualRect(&r, &expected));
    }
    CHECK(shown(app.main, area(main_layout.lblCount.bounds()), 0x0000C0) > 10); // the count, in red
}
