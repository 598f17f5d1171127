#pragma once
// What the screen shows, read back from the screen's own device context.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace e2e {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// A colour given as 0x00BBGGRR.
Rgb rgb(std::uint32_t bgr);
bool close_to(Rgb a, Rgb b, int tolerance);

struct Capture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    int count(const std::function<bool(Rgb)>& wanted) const;
    // The smallest x of any wanted pixel, or -1.
    int leftmost(const std::function<bool(Rgb)>& wanted) const;
    bool operator==(const Capture&) const = default;
};

Capture capture_screen(const RECT& area);
// Part of a window's client area, in client pixels.
Capture capture_client(HWND window, const RECT& area);

} // namespace e2e
