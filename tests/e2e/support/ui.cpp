#include "support/ui.h"

#include "support/text.h"

#include <algorithm>
#include <cwctype>

namespace e2e {

bool wait_until(const std::function<bool()>& done, int timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > static_cast<DWORD>(timeout_ms)) return false;
        Sleep(20);
    }
}

std::string class_name(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return utf8(name);
}

std::string text(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                        2000, &got);
    buffer.resize(got);
    return utf8(buffer);
}

namespace {

bool same_ignoring_case(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::towlower(x) == std::towlower(y); });
}

struct TopSearch {
    DWORD process_id;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_top(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<TopSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM context)
{
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> top_windows(DWORD process_id)
{
    TopSearch search{process_id, {}};
    EnumWindows(collect_top, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_top_window(DWORD process_id, const std::string& caption, const std::string& wanted_class)
{
    for (HWND w : top_windows(process_id)) {
        if (text(w) != caption) continue;
        if (!wanted_class.empty() && !same_ignoring_case(class_name(w), wanted_class)) continue;
        return w;
    }
    return nullptr;
}

std::vector<HWND> children(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(parent, collect_child, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND find_child(HWND parent, const std::string& wanted_class)
{
    for (HWND c : children(parent))
        if (same_ignoring_case(class_name(c), wanted_class)) return c;
    return nullptr;
}

std::vector<std::string> list_items(HWND list_box)
{
    std::vector<std::string> items;
    LRESULT count = SendMessageW(list_box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list_box, LB_GETTEXTLEN, i, 0);
        if (length == LB_ERR) break;
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list_box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        items.push_back(utf8(item));
    }
    return items;
}

POINT list_item_point(HWND list_box, int index)
{
    // Brings the item into view, then finds where it is drawn.
    SendMessageW(list_box, LB_SETTOPINDEX, index, 0);
    LRESULT top = SendMessageW(list_box, LB_GETTOPINDEX, 0, 0);
    LRESULT height = SendMessageW(list_box, LB_GETITEMHEIGHT, 0, 0);
    RECT client{};
    GetClientRect(list_box, &client);
    return client_to_screen(list_box, std::min<LONG>(20, client.right / 2),
                            static_cast<int>((index - top) * height + height / 2));
}

POINT client_to_screen(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

RECT screen_client_rect(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    POINT origin = client_to_screen(window, 0, 0);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

SIZE client_size(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void bring_to_front(HWND window)
{
    SetForegroundWindow(window);
    wait_until([&] { return GetForegroundWindow() == window; }, 2000);
}

void move_pointer(POINT at)
{
    SetCursorPos(at.x, at.y);
    // A move event as a real mouse would send, so the window under it hears of it.
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    Sleep(50);
}

namespace {

void press(int times)
{
    std::vector<INPUT> events;
    for (int i = 0; i < times; ++i)
        for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT e{};
            e.type = INPUT_MOUSE;
            e.mi.dwFlags = flag;
            events.push_back(e);
        }
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

} // namespace

void click(POINT at)
{
    move_pointer(at);
    press(1);
    Sleep(50);
}

void double_click(POINT at)
{
    move_pointer(at);
    press(2);
    Sleep(50);
}

} // namespace e2e
