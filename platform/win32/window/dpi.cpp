#include "platform/win32/window/dpi.h"

#include <cmath>

#include "platform/win32/base.h"
#include "platform/win32/system/system_library.h"

namespace platform::win32 {

int Dpi::to_pixels(float twips) const
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * value / 1440.0));
}

float Dpi::to_twips(int pixels) const { return static_cast<float>(pixels * 1440.0 / value); }

RECT Dpi::to_pixels(const Rect& twips) const
{
    return RECT{to_pixels(twips.left), to_pixels(twips.top), to_pixels(twips.right()), to_pixels(twips.bottom())};
}

int Dpi::font_height(float points) const
{
    return static_cast<int>(std::lround(static_cast<double>(points) * value / 72.0));
}

Dpi screen_dpi()
{
    const WindowDc screen(nullptr);
    const int value = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return Dpi{value > 0 ? value : 96};
}

namespace {
// user32 is loaded at the program's first call into it, which need not have come yet.
const Module& user32()
{
    static const Module module = load_system_library(L"user32.dll");
    return module;
}
} // namespace

Dpi window_dpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi = module_function<GetDpiForWindowFn>(user32(), "GetDpiForWindow");
    if (get_dpi && window) {
        const UINT value = get_dpi(window);
        if (value > 0)
            return Dpi{static_cast<int>(value)};
    }
    return screen_dpi();
}

int system_metric(int index, Dpi dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto for_dpi = module_function<GetSystemMetricsForDpiFn>(user32(), "GetSystemMetricsForDpi");
    return for_dpi ? for_dpi(index, static_cast<UINT>(dpi.value)) : GetSystemMetrics(index);
}

RECT outer_rect(int client_width, int client_height, DWORD style, DWORD ex_style, Dpi dpi)
{
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust_for_dpi = module_function<AdjustFn>(user32(), "AdjustWindowRectExForDpi");
    RECT rect{0, 0, client_width, client_height};
    if (!adjust_for_dpi || !adjust_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi.value)))
        AdjustWindowRectEx(&rect, style, FALSE, ex_style);
    return rect;
}

} // namespace platform::win32
