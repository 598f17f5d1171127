#pragma once
#include "platform/look.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Twips to pixels and back at one resolution (1440 twips to the inch).
struct Dpi {
    int value = 96;

    int to_pixels(float twips) const;
    float to_twips(int pixels) const;
    // Edges convert one by one, so rectangles that touch in twips touch in pixels.
    RECT to_pixels(const Rect& twips) const;
    // Points (1/72 inch) to a font height in pixels.
    int font_height(float points) const;
};

// The resolution the window is shown at; the screen's where this Windows has no per-window DPI.
Dpi window_dpi(HWND window);
Dpi screen_dpi();

// A system metric (an icon's or the pointer's size) at that resolution; the system's where this
// Windows has no per-window DPI, and there the system's resolution is every window's.
int system_metric(int index, Dpi dpi);

// The window rectangle (origin 0,0 at the client's corner) around a client area of that size.
RECT outer_rect(int client_width, int client_height, DWORD style, DWORD ex_style, Dpi dpi);

} // namespace platform::win32
