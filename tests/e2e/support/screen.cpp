#include "support/screen.h"

#include <cstdlib>
#include <stdexcept>

namespace e2e {

Rgb rgb(std::uint32_t bgr)
{
    return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF)};
}

bool close_to(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

int Capture::count(const std::function<bool(Rgb)>& wanted) const
{
    int n = 0;
    for (const Rgb& p : pixels)
        if (wanted(p)) ++n;
    return n;
}

int Capture::leftmost(const std::function<bool(Rgb)>& wanted) const
{
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (wanted(at(x, y))) return x;
    return -1;
}

namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() { DeleteDC(dc); }
};
struct Bitmap {
    HBITMAP bitmap = nullptr;
    ~Bitmap() { if (bitmap) DeleteObject(bitmap); }
};

} // namespace

Capture capture_screen(const RECT& area)
{
    Capture out;
    out.width = area.right - area.left;
    out.height = area.bottom - area.top;
    if (out.width <= 0 || out.height <= 0) return out;

    ScreenDc screen;
    MemoryDc memory(screen.dc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap;
    bitmap.bitmap = CreateDIBSection(memory.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap.bitmap) throw std::runtime_error("cannot make a bitmap to capture into");
    HGDIOBJ old = SelectObject(memory.dc, bitmap.bitmap);
    BOOL copied = BitBlt(memory.dc, 0, 0, out.width, out.height, screen.dc, area.left, area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory.dc, old);
    if (!copied) throw std::runtime_error("cannot read the screen");

    const auto* px = static_cast<const std::uint32_t*>(bits);
    out.pixels.reserve(static_cast<size_t>(out.width * out.height));
    for (int i = 0; i < out.width * out.height; ++i) {
        std::uint32_t v = px[i]; // 0x00RRGGBB in a DIB
        out.pixels.push_back({static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                              static_cast<int>(v & 0xFF)});
    }
    return out;
}

Capture capture_client(HWND window, const RECT& area)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT r = area;
    OffsetRect(&r, origin.x, origin.y);
    return capture_screen(r);
}

} // namespace e2e
