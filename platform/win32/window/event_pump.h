#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Sent to a form window to move the keyboard focus along its tab order; wParam is nonzero for backwards.
constexpr UINT WM_VINTREL_TAB = WM_APP + 1;

// One message of any loop: Tab and Shift+Tab in a form window move the focus, keys in a dialog
// work its buttons, the rest goes to its window.
void dispatch(const MSG& message);

// Handles every pending message, then returns. A quit request taken out on the way is posted
// again, so the loop that owns the program still sees it. Inside a loop of the system's own that
// waits for input (a menu, a window moved or sized, a scroll bar's thumb dragged) the input is left
// to that loop; inside a message box the box has the keyboard focus.
void pump_events();

// The program's main loop; returns the quit code.
int run_message_loop();

// Held while the program hands control to code that may run a loop of the system's own: a
// message box, or a window procedure given the user's input.
class SystemLoop {
public:
    SystemLoop();
    ~SystemLoop();
    SystemLoop(const SystemLoop&) = delete;
    SystemLoop& operator=(const SystemLoop&) = delete;

private:
    int outer_;
};

// Held by the program's own loops: what runs inside one of them runs in that loop, whatever
// loop the loop itself runs in.
class OwnLoop {
public:
    OwnLoop();
    ~OwnLoop();
    OwnLoop(const OwnLoop&) = delete;
    OwnLoop& operator=(const OwnLoop&) = delete;

private:
    int outer_;
};

} // namespace platform::win32
