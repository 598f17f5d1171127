#include "platform/win32/window/form_window.h"

#include <algorithm>

namespace platform::win32 {

DWORD FormWindow::style() const
{
    const FormLayout& layout = form_.layout();
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (layout.border == BorderStyle::fixed_single) {
        if (layout.min_button)
            style |= WS_MINIMIZEBOX;
        if (layout.max_button)
            style |= WS_MAXIMIZEBOX;
    }
    return style;
}

DWORD FormWindow::ex_style() const
{
    const FormLayout& layout = form_.layout();
    DWORD ex_style = layout.border == BorderStyle::fixed_tool_window ? WS_EX_TOOLWINDOW : 0;
    if (layout.in_taskbar)
        ex_style |= WS_EX_APPWINDOW;
    return ex_style;
}

// Sizes the window to the layout's client area and the controls to theirs, at the current resolution.
void FormWindow::lay_out()
{
    const FormLayout& layout = form_.layout();
    const RECT outer = outer_rect(dpi_.to_pixels(layout.client_width), dpi_.to_pixels(layout.client_height), style(),
                                  ex_style(), dpi_);
    const int width = dpi_.to_pixels(layout.client_width), height = dpi_.to_pixels(layout.client_height);
    SetWindowPos(window_.handle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may not be what was reckoned (its metrics can lag a change of resolution): what
    // counts is the client area, so the window is measured and put right.
    RECT client;
    GetClientRect(window_.handle, &client);
    if (client.right != width || client.bottom != height) {
        SetWindowPos(window_.handle, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& control : controls_)
        control->lay_out(*fonts_);
    InvalidateRect(window_.handle, nullptr, FALSE);
}

// Centres the window over another, or on the screen, within the screen's work area.
void FormWindow::place(HWND over)
{
    RECT window;
    GetWindowRect(window_.handle, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(over ? over : window_.handle, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT target = work;
    if (over)
        GetWindowRect(over, &target);
    int left = target.left + ((target.right - target.left) - width) / 2;
    int top = target.top + ((target.bottom - target.top) - height) / 2;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    SetWindowPos(window_.handle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormWindow::centred_over() const
{
    return form_.layout().start == StartPosition::center_owner ? GetWindow(window_.handle, GW_OWNER) : nullptr;
}

float FormWindow::outer_width() const
{
    if (window_.handle) {
        RECT window;
        if (GetWindowRect(window_.handle, &window))
            return dpi_.to_twips(window.right - window.left);
    }
    const RECT outer = outer_rect(dpi_.to_pixels(form_.layout().client_width), 0, style(), ex_style(), dpi_);
    return dpi_.to_twips(outer.right - outer.left);
}

void FormWindow::on_dpi_changed(HWND window, WPARAM dpi, LPARAM suggested)
{
    // Fonts in use by the controls are freed only once the new ones are in place.
    const std::unique_ptr<FontCache> previous = std::move(fonts_);
    buffer_.release(); // it holds the old fonts
    kept_.clear();     // drawn at the old scale
    dpi_ = Dpi{LOWORD(dpi)};
    fonts_ = std::make_unique<FontCache>(dpi_);
    load_images();
    // Not yet placed, it is being placed on a screen of another scale: centred again at its new size.
    const auto* where = reinterpret_cast<const RECT*>(suggested);
    if (placed_)
        SetWindowPos(window, nullptr, where->left, where->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    lay_out();
    // Text is not measured in proportion from one resolution to another.
    WindowSide::fit_labels(form_);
    if (!placed_)
        place(centred_over());
}

} // namespace platform::win32
