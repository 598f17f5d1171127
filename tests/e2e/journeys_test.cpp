// Whole journeys through the real Vintrel.exe, one scenario each: started in a throw-away game
// folder, driven with real input, read back from its windows, the screen and what it started.
// Places are read from the windows' own layouts.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include <cstdlib>
#include <fstream>

#include "fake/fake_platform.h"
#include "info_window/frm_info.h"
#include "main_window/frm_main.h"
#include "win32/support.h"

using test::px;

namespace {

PROCESS_INFORMATION start(std::wstring line, const std::string& folder)
{
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION started{};
    REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, test::widen(folder).c_str(),
                           &startup, &started));
    return started;
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
        CopyFileW(test::widen(VINTREL_EXE).c_str(), test::widen(data + "\\Vintrel.exe").c_str(), FALSE);
        if (!tool.empty())
            CopyFileW(test::widen(tool).c_str(), test::widen(data + "\\biftool.exe").c_str(), FALSE);
    }
};

// Vintrel.exe of a game, started from another folder (it must find its own), at the front.
struct Vintrel {
    PROCESS_INFORMATION process;
    HWND main, list, check;
    explicit Vintrel(const Game& game, const std::string& program = "Vintrel.exe")
        : process(start(L"\"" + test::widen(game.data + "\\" + program) + L"\"", game.root.path()))
    {
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
    // A top-level window of the program with this caption, once it shows.
    HWND wait_window(const std::string& caption) const
    {
        HWND found = nullptr;
        test::wait_until(
            [&] { return (found = FindWindowW(nullptr, test::widen(caption).c_str())) && IsWindowVisible(found); },
            20000);
        return found;
    }
};

std::string message_text(HWND box)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024); // the message box's text
    return test::narrow(text);
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

// Which window a click at this point of a window reaches, and which is in front: said where a
// check after a click fails, since under Wine another window may have come between.
std::string reached(HWND window, POINT at)
{
    ClientToScreen(window, &at);
    wchar_t there[64] = {}, front[64] = {};
    GetWindowTextW(GetAncestor(WindowFromPoint(at), GA_ROOT), there, 64);
    GetWindowTextW(GetForegroundWindow(), front, 64);
    return "the point lies in \"" + test::narrow(there) + "\", \"" + test::narrow(front) + "\" is in front";
}

// Real input: the pointer moved to a point of a window, then the left button pressed and let go.
// Each event carries the point (the middle of its pixel on the 0..65535 scale): under Wine the
// program may still replay a pointer motion from an earlier click and pull the pointer back there.
void click(HWND window, POINT at, int times = 1)
{
    ClientToScreen(window, &at);
    const LONG x = (2 * at.x + 1) * 32768 / GetSystemMetrics(SM_CXSCREEN),
               y = (2 * at.y + 1) * 32768 / GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> events(1 + 2 * static_cast<std::size_t>(times), INPUT{INPUT_MOUSE, {.mi = {x, y}}});
    for (std::size_t i = 0; i < events.size(); ++i)
        events[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                               (i % 2 ? MOUSEEVENTF_LEFTDOWN
                                : i   ? MOUSEEVENTF_LEFTUP
                                      : 0);
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}
// A key pressed and let go, as the keyboard sends it to whichever window has the focus.
void press(WORD key)
{
    INPUT events[2] = {{INPUT_KEYBOARD, {.ki = {key}}}, {INPUT_KEYBOARD, {.ki = {key, 0, KEYEVENTF_KEYUP}}}};
    SendInput(2, events, sizeof(INPUT));
}

// Where the keyboard of a window's thread is, said where a key went unheard.
std::string keyboard_of(HWND window)
{
    GUITHREADINFO gui{sizeof gui};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    wchar_t focus[64] = {}, active[64] = {};
    GetClassNameW(gui.hwndFocus, focus, 64);
    GetWindowTextW(gui.hwndActive, active, 64);
    return "the focus is on a " + test::narrow(focus) + " of \"" + test::narrow(active) + "\"";
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
    return test::Capture(window, r).count(r, color, box, 90);
}

} // namespace

TEST_CASE("extract: in the demo game a double-click says Done and the archive's resources appear")
{
    Game game("vintrel-e2e-demo", BIFTOOL_EXE);
    const PROCESS_INFORMATION generator =
        start(L"\"" + test::widen(BIFDEMO_EXE) + L"\" \"" + test::widen(game.root.path()) + L"\"", game.root.path());
    WaitForSingleObject(generator.hProcess, 30000);
    CloseHandle(generator.hThread);
    CloseHandle(generator.hProcess);
    SetEnvironmentVariableW(L"BIFTOOL_NO_WAIT", L"1"); // no key to wait for in its console
    Vintrel app(game);
    REQUIRE(list_items(app.list) ==
            std::vector<std::string>{"DEMOMAIN.bif", "DEMOPACK.bif", "DEMOTILE.bif", "DEMOZLIB.bif"});
    click(app.list, item(app.list, 1), 2);
    const HWND done = app.wait_window(std::getenv("NOTOOL") ? "Missing File" : "Done");
    REQUIRE(done != nullptr);
    CHECK(message_text(done) == "Files were extracted!");
    SendMessageW(GetDlgItem(done, IDOK), BM_CLICK, 0, 0);
    for (const char* name : {"DEMOMAP.BMP", "GREETING.LUA", "SONGS.2DA"}) {
        CAPTURE(name);
        CHECK(test::wait_until(
            [&] { return std::ifstream(test::widen(game.data + "\\DEMOPACK\\" + name).c_str()).good(); }));
    }
}

TEST_CASE("list: the visible archives listed; with the box cleared a double-click starts the tool on one, activated, "
          "and says nothing")
{
    Game game("vintrel e2e Zaub\xC3\xA9r", RECORD_CHILD_EXE,
              {"b.bif", "A.BIF", "with blank.bif", "notes.txt", "folder.bif\\inner.bif"});
    game.root.write("data\\hidden.bif", "", FILE_ATTRIBUTE_HIDDEN);
    game.root.write("data\\system.bif", "", FILE_ATTRIBUTE_SYSTEM);
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
    CHECK(message_text(box).starts_with("You are missing the file \"biftool.exe or ..\\chitin.key\"."));
}

TEST_CASE(
    "banner: it runs leftwards along the strip at its pace, drawn where it stands, and comes back in at the right")
{
    Game game("vintrel-e2e-banner", "");
    Vintrel app(game);
    const HWND kept = FindWindowExW(app.main, nullptr, L"ScrollBar", nullptr); // the banner's place, in twips
    RECT strip = area(main_layout.cmdInfo.bounds()), box;
    strip.left = 0, strip.right = px(main_layout.layout().client_width);
    struct {
        int twips;
        ULONGLONG ms;
    } first{GetScrollPos(kept, SB_CTL), GetTickCount64()}, last = first;
    bool drawn_there = false;
    CHECK(test::wait_until(
        [&] {
            const int now = GetScrollPos(kept, SB_CTL);
            if (px(now) > 0 && px(now) < strip.right - 20 && shown(app.main, strip, RGB(0, 0xC0, 0), &box) &&
                now == GetScrollPos(kept, SB_CTL))
                drawn_there = drawn_there || std::abs(box.left - px(now)) <= 2;
            if (now > last.twips)
                return true; // back at the right
            last = {now, GetTickCount64()};
            return false;
        },
        20000));
    CHECK(drawn_there);
    // 25 twips every 25 ms is 1000 twips a second; Wine's timers may lag, but not by half.
    const double speed = (first.twips - last.twips) * 1000.0 / static_cast<double>(last.ms - first.ms);
    CHECK(speed > 500);
    CHECK(speed < 1500);
}

TEST_CASE("info: opened from the strip, its link lit and clicked, hidden by a click above, closed by its button")
{
    // Where no start.exe is found, as on Windows, the start fails and the shell opens the address.
    if (std::getenv("EXPECT_NO_START")) {
        wchar_t system_folder[MAX_PATH], found[MAX_PATH];
        GetSystemDirectoryW(system_folder, MAX_PATH);
        REQUIRE(SearchPathW(system_folder, L"start.exe", nullptr, MAX_PATH, found, nullptr) == 0);
    }
    // The prefix's browser is the recording stand-in (see CMakeLists.txt).
    const std::string record = std::string("Z:") + std::getenv("VINTREL_BROWSER_RECORD");
    DeleteFileW(test::widen(record).c_str());
    Game game("vintrel-e2e-info", "");
    Vintrel app(game);
    const auto open = [&] {
        click(app.main, centre(main_layout.cmdClick.bounds()));
        return app.wait_window("About: Vintrel");
    };
    HWND info = open();
    REQUIRE(info != nullptr);
    const auto lit = [&] { return shown(info, area(info_layout.lblQarvel.bounds()), frmInfo::link_hot) > 10; };
    CHECK_FALSE(lit());
    click(info, centre(info_layout.lblQarvel.bounds()));
    CHECK(test::wait_until(lit, 3000));
    std::string address;
    test::wait_until([&] { return std::getline(std::ifstream(test::widen(record).c_str()), address).good(); }, 15000);
    CHECK(address == frmInfo::web_site);
    // The banner runs on, and nothing the opening left behind stops the clicks below.
    const HWND kept = FindWindowExW(app.main, nullptr, L"ScrollBar", nullptr);
    const int at = GetScrollPos(kept, SB_CTL);
    CHECK(test::wait_until([&] { return GetScrollPos(kept, SB_CTL) != at; }, 3000));
    const POINT above = centre(info_layout.Label3.bounds());
    INFO(reached(info, above));
    click(info, above);
    CHECK(test::wait_until([&] { return !IsWindowVisible(info) && IsWindowEnabled(app.main); }, 3000));
    REQUIRE(open() == info); // the same window again
    RECT frame;              // its title bar's close button, at the right end of the caption
    GetWindowRect(info, &frame);
    POINT button{frame.right - GetSystemMetrics(SM_CXFIXEDFRAME) - GetSystemMetrics(SM_CXSMSIZE) / 2,
                 frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSMSIZE) / 2};
    ScreenToClient(info, &button);
    INFO(reached(info, button));
    click(info, button);
    CHECK(test::wait_until([&] { return !IsWindow(info) && IsWindowEnabled(app.main); }, 3000));
}

TEST_CASE("dpi: at the screen's resolution the main window takes its laid-out size, its count drawn in place")
{
    if (const char* expected = std::getenv("EXPECT_DPI"))
        REQUIRE(test::screen_dpi() == std::atoi(expected));
    Game game("vintrel-e2e-dpi", "");
    Vintrel app(game);
    RECT client;
    GetClientRect(app.main, &client);
    CHECK(client.right == px(main_layout.layout().client_width));
    CHECK(client.bottom == px(main_layout.layout().client_height));
    CHECK(shown(app.main, area(main_layout.lblCount.bounds()), 0x0000C0) > 10); // the count, in red
}

TEST_CASE("keys: Enter on the list says Done and Enter there closes it, every time, while the banner runs")
{
    // Without a window manager Wine waits two seconds at every hide of a window it leaves to one,
    // for a change of state that never comes; this copy's windows are Wine's own, and close at once.
    const std::string program = "Vintrel-keys.exe";
    const std::wstring options = L"Software\\Wine\\AppDefaults\\" + test::widen(program) + L"\\X11 Driver";
    RegSetKeyValueW(HKEY_CURRENT_USER, options.c_str(), L"Managed", REG_SZ, L"N", 4);
    Game game("vintrel-e2e-keys", RECORD_CHILD_EXE, {"a.bif"});
    CopyFileW(test::widen(game.data + "\\Vintrel.exe").c_str(), test::widen(game.data + "\\" + program).c_str(), FALSE);
    Vintrel app(game, program);
    click(app.list, item(app.list, 0));
    // A key the banner's pump takes from the box's loop is lost about once in a hundred.
    constexpr int rounds = 120;
    int lost = 0;
    for (int round = 0; round < rounds; ++round) {
        CAPTURE(round);
        REQUIRE(test::wait_until([&] { return IsWindowEnabled(app.main) && GetForegroundWindow() == app.main; }, 5000));
        press(VK_RETURN);
        const HWND done = app.wait_window("Done");
        REQUIRE(done != nullptr);
        Sleep(100); // a quick hand
        press(VK_RETURN);
        if (test::wait_until([&] { return !IsWindowVisible(done); }, 1500))
            continue;
        ++lost;
        MESSAGE("round ", round, ": the Enter went unheard, ", keyboard_of(done));
        for (HWND box; (box = FindWindowW(nullptr, L"Done"));)
            SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
    CHECK(lost == 0);
}
