#include "platform/win32/window/form_window.h"

#include "platform/win32/painting/label_painter.h"

namespace platform::win32 {

void FormWindow::on_paint()
{
    const PaintDc target(window_.handle);
    draw(target.get(), target.area());
}

// Drawn whole into the buffer first, so labels never flicker over the background.
void FormWindow::draw(HDC target, const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return;
    RECT client{};
    GetClientRect(window_.handle, &client);
    if (!buffer_.prepare(width, height, SIZE{client.right, client.bottom}, POINT{area.left, area.top})) {
        DcCanvas canvas(target);
        paint_form_surface(canvas, form_, *fonts_, area);
        return;
    }
    paint_form_surface(buffer_, form_, *fonts_, area, &kept_);
    BitBlt(target, area.left, area.top, width, height, buffer_.dc(), area.left, area.top, SRCCOPY);
}

// Only where the label was and is now is drawn again: a moving banner repaints its strip alone.
// A window on screen is drawn at once, which spares the banner's every tick a round of WM_PAINT.
void FormWindow::label_changed(const Label& label, const Rect& old)
{
    const HWND window = window_.handle;
    if (!window)
        return;
    const RECT before = label_box(old, label.auto_size(), dpi_);
    const RECT now = label_box(label, dpi_);
    RECT both;
    UnionRect(&both, &before, &now);
    if (!IsWindowVisible(window) || IsIconic(window)) {
        InvalidateRect(window, &both, FALSE);
        return;
    }
    RECT client, area;
    GetClientRect(window, &client);
    if (IntersectRect(&area, &both, &client)) {
        const WindowDc target(window);
        draw(target.get(), area);
    }
}

} // namespace platform::win32
