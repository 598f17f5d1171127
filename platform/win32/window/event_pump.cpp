#include "platform/win32/window/event_pump.h"

#include <cwchar>
#include <optional>

#include "platform/win32/system/system_library.h"
#include "platform/win32/window/form_window_class.h"

namespace platform::win32 {
namespace {

// How many hand-overs to code that may run a loop of the system's own are under way since the
// innermost loop of the program's own began. The program's windows live on one thread.
int system_loops = 0;

bool has_class(HWND window, const wchar_t* class_name)
{
    wchar_t name[16] = {};
    return window && GetClassNameW(window, name, 16) > 0 && _wcsicmp(name, class_name) == 0;
}

bool is_dialog(HWND window) { return has_class(window, L"#32770"); }

bool is_input(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// A dialog's keys (Enter, Escape, Tab, its buttons' letters) work only through IsDialogMessage,
// which its own loop calls and a plain dispatch does not.
bool dialog_key(const MSG& message)
{
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    return is_dialog(root) && IsDialogMessageW(root, const_cast<MSG*>(&message));
}

// The dialog shown over a window that it keeps from input, if any.
HWND box_over(HWND window)
{
    struct Search {
        HWND owner, box = nullptr;
    } search{window};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM found) {
            auto& search = *reinterpret_cast<Search*>(found);
            if (GetWindow(candidate, GW_OWNER) != search.owner || !is_dialog(candidate) ||
                !IsWindowVisible(candidate) || !IsWindowEnabled(candidate))
                return TRUE;
            search.box = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.box;
}

// Inside a message box the box has the keyboard. Where the window under it took activation back
// or holds the focus, the box is activated again or focused, and passes the focus to its button.
void keep_keyboard_in_box(const GUITHREADINFO& gui)
{
    if (gui.hwndActive && !IsWindowEnabled(gui.hwndActive)) {
        if (const HWND box = box_over(gui.hwndActive))
            SetActiveWindow(box);
    } else if (is_dialog(gui.hwndActive) && gui.hwndFocus && gui.hwndFocus != gui.hwndActive &&
               !IsChild(gui.hwndActive, gui.hwndFocus)) {
        SetFocus(gui.hwndActive);
    }
}

// Whether a loop of the system's own, one that a handler entered and that dispatched what runs
// now, waits for the input now pending. A message box takes its keys through the pump, and is
// given the keyboard where it lost it.
bool input_awaited()
{
    if (system_loops == 0)
        return false;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &gui))
        return false;
    if (gui.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE))
        return true;
    // A control tracks the mouse with its own loop (a scroll bar's thumb, dragged) while it holds
    // the capture; a form's own labels take their press and release through any loop.
    if (gui.hwndCapture && !is_form_window(gui.hwndCapture))
        return true;
    keep_keyboard_in_box(gui);
    return false;
}

} // namespace

SystemLoop::SystemLoop() : outer_(system_loops) { ++system_loops; }
SystemLoop::~SystemLoop() { system_loops = outer_; }
OwnLoop::OwnLoop() : outer_(system_loops) { system_loops = 0; }
OwnLoop::~OwnLoop() { system_loops = outer_; }

// Tab is handled here rather than by IsDialogMessage, which walks the children in their stacking
// order: a form's tab order is its own and differs from that.
void dispatch(const MSG& message)
{
    // The user's input may start a loop of the system's own: a menu, a move, a thumb's drag, a box.
    std::optional<SystemLoop> handed;
    if (is_input(message.message))
        handed.emplace();
    if (dialog_key(message))
        return;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && is_form_window(root)) {
            SendMessageW(root, WM_VINTREL_TAB, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void pump_events()
{
    const UINT input = input_awaited() ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | input)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

int run_message_loop()
{
    const OwnLoop own;
    // The program loads user32 at its first call into it. The compiler reads an import's slot once
    // before a loop, and for this loop that was before the first call had put the function there:
    // every message went through the loader's stub and a lookup of the name. So its address is
    // taken once here.
    const auto get_message = system_function<decltype(&GetMessageW)>(L"user32.dll", "GetMessageW");
    MSG message;
    for (;;) {
        const BOOL got = get_message(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        dispatch(message);
    }
}

} // namespace platform::win32
