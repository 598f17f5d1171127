#include "event_pump.h"

#include <cwchar>

#include "form_window_class.h"

namespace platform::win32 {
namespace {

bool is_list_box(HWND window)
{
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) > 0 && _wcsicmp(name, L"ListBox") == 0;
}

// Enter on a form's list does what a double-click there does: the list's form window hears of it
// as of a double-click. A key held down counts once.
bool enter_on_list(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || !is_list_box(message.hwnd))
        return false;
    const HWND form = GetParent(message.hwnd);
    if (!form || !is_form_window(form))
        return false;
    const bool repeated = (message.lParam & (1 << 30)) != 0;
    if (!repeated)
        SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(message.hwnd), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(message.hwnd));
    return true;
}

} // namespace

// Tab is handled here rather than by IsDialogMessage, which walks the children in their stacking
// order: a form's tab order is its own and differs from that.
void dispatch(const MSG& message)
{
    if (enter_on_list(message))
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
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

int run_message_loop()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        dispatch(message);
    }
}

} // namespace platform::win32
