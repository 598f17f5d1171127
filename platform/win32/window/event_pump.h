#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Sent to a form window to move the keyboard focus along its tab order; wParam is nonzero for backwards.
constexpr UINT WM_VINTREL_TAB = WM_APP + 1;

// One message of any loop: Tab and Shift+Tab in a form window move the focus, the rest goes to
// its window.
void dispatch(const MSG& message);

// Handles every pending message, then returns. A quit request taken out on the way is posted
// again, so the loop that owns the program still sees it.
void pump_events();

// The program's main loop; returns the quit code.
int run_message_loop();

} // namespace platform::win32
