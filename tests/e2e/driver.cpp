#include "driver.h"

#include <doctest.h>

#include <algorithm>

namespace e2e {

std::string program(const char* unix_path)
{
    std::string path = std::string("Z:") + unix_path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Game::Game(const std::string& name, bool with_key) : root(name)
{
    CreateDirectoryW(test::widen(data).c_str(), nullptr);
    if (with_key)
        root.write("chitin.key", "KEY V1  ");
}

void Game::install(const std::string& tool)
{
    CopyFileW(test::widen(program(VINTREL_EXE)).c_str(), test::widen(data + "\\Vintrel.exe").c_str(), FALSE);
    if (!tool.empty())
        CopyFileW(test::widen(tool).c_str(), test::widen(data + "\\biftool.exe").c_str(), FALSE);
}

Vintrel::Vintrel(const Game& game)
{
    // Started from another folder: the program must find its own.
    std::wstring line = L"\"" + test::widen(game.data) + L"\\Vintrel.exe\"";
    STARTUPINFOW startup{sizeof startup};
    REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           test::widen(game.root.path()).c_str(), &startup, &process_));
    main = wait_window("Vintrel", L"VintrelForm");
    REQUIRE(main != nullptr);
    WaitForInputIdle(process_.hProcess, 5000);
    list = FindWindowExW(main, nullptr, L"ListBox", nullptr);
    check = FindWindowExW(main, nullptr, L"Button", nullptr);
}

Vintrel::~Vintrel()
{
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Vintrel::wait_window(const std::string& caption, const wchar_t* window_class) const
{
    HWND found = nullptr;
    test::wait_until([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, window_class, test::widen(caption).c_str()); w;
             w = FindWindowExW(nullptr, w, window_class, test::widen(caption).c_str())) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == process_.dwProcessId && IsWindowVisible(w))
                return (found = w) != nullptr;
        }
        return false;
    }, 20000);
    return found;
}

HWND Vintrel::message_box() const
{
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

std::string message_text(HWND box)
{
    // The icon is a static too, without text.
    for (HWND c = FindWindowExW(box, nullptr, L"Static", nullptr); c; c = FindWindowExW(box, c, L"Static", nullptr)) {
        wchar_t text[1024] = {};
        if (GetWindowTextW(c, text, 1024) > 0)
            return test::narrow(text);
    }
    return {};
}

void press_ok(HWND box)
{
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    test::wait_until([&] { return !IsWindow(box); }, 3000);
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

void bring_to_front(HWND window)
{
    SetForegroundWindow(window);
    test::wait_until([&] { return GetForegroundWindow() == window; }, 2000);
}

void move_to(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    INPUT move{INPUT_MOUSE};
    move.mi.dwFlags = MOUSEEVENTF_MOVE; // so the window under it hears of it
    SendInput(1, &move, sizeof move);
}

void click(HWND window, int x, int y, int times)
{
    move_to(window, x, y);
    std::vector<INPUT> events;
    for (int i = 0; i < times; ++i)
        for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            events.push_back({INPUT_MOUSE});
            events.back().mi.dwFlags = flag;
        }
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

void click_item(HWND list, int index, int times)
{
    RECT item;
    SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    click(list, item.left + 10, (item.top + item.bottom) / 2, times);
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

} // namespace e2e
