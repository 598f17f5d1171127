#include "platform/win32/window/event_pump.h"

#include "platform/win32/window/form_window_class.h"

namespace platform::win32 {

// Tab is handled here rather than by IsDialogMessage, which walks the children in their stacking
// order: a form's tab order is its own and differs from that.
void dispatch(const MSG& message)
{
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
