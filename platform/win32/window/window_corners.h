#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Asks for square corners where the system would round a window's (Windows 11), so the strips
// along the windows' edges are drawn whole. True where the system took the request; elsewhere
// (an older Windows, no desktop window manager) the window keeps what the system gives it.
bool ask_for_square_corners(HWND window);

} // namespace platform::win32
