#include "platform/win32/window/form_window.h"

#include "platform/win32/window/event_pump.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {

// No failure crosses back into the system: what the model's own guard does not catch, this does.
LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form_window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form_window)
        return DefWindowProcW(window, message, wparam, lparam);
    Platform& platform = form_window->platform();
    try {
        return form_window->handle_message(window, message, wparam, lparam);
    } catch (const std::exception& failure) {
        platform.report_failure(failure.what());
    } catch (...) {
        platform.report_failure("Unknown failure");
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT FormWindow::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    // clang-format off
    switch (message) {
    case WM_NCCREATE:        on_nccreate(window); break;
    case WM_NCDESTROY:       on_ncdestroy(); break;
    case WM_ERASEBKGND:      return 1; // on_paint covers every pixel
    case WM_PAINT:           on_paint(); return 0;
    case WM_COMMAND:         on_command(wparam, lparam); return 0;
    case WM_NOTIFY:          return on_notify(lparam);
    case WM_TIMER:           on_timer(wparam); return 0;
    case WM_MOUSEMOVE:       on_mouse_move(wparam, lparam); return 0;
    case WM_LBUTTONDOWN:     on_lbutton_down(window, lparam); return 0;
    case WM_LBUTTONUP:       on_lbutton_up(window, lparam); return 0;
    case WM_CAPTURECHANGED:  on_capture_changed(); return 0;
    case WM_SETCURSOR:       if (on_set_cursor(window, wparam, lparam)) return TRUE; break;
    case WM_ACTIVATE:        on_activate(window, wparam); return 0;
    case WM_VINTREL_TAB:     move_focus(wparam != 0); return 0;
    case WM_DPICHANGED:      on_dpi_changed(window, wparam, lparam); return 0;
    case WM_CLOSE:           on_close(window); return 0;
    case WM_DESTROY:         on_destroy(window); return 0;
    default:                 break;
    }
    // clang-format on
    return DefWindowProcW(window, message, wparam, lparam);
}

void FormWindow::on_nccreate(HWND window) { window_.handle = window; }

void FormWindow::on_ncdestroy()
{
    window_.handle = nullptr;
    pressed_ = nullptr;
}

void FormWindow::on_command(WPARAM wparam, LPARAM lparam)
{
    if (NativeControl* control = native(reinterpret_cast<HWND>(lparam)))
        control->notify(HIWORD(wparam));
}

LRESULT FormWindow::on_notify(LPARAM lparam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    NativeControl* control = native(header->hwndFrom);
    if (!control || header->code != NM_CUSTOMDRAW)
        return 0;
    return control->custom_draw(*reinterpret_cast<const NMCUSTOMDRAW*>(lparam));
}

void FormWindow::on_timer(WPARAM id)
{
    for (const auto& control : controls_) {
        if (control->tick(id))
            return; // the tick may have closed this window: nothing of it is touched again
    }
}

// The owner takes input again before this window goes, so activation passes to it.
void FormWindow::on_close(HWND window)
{
    enable_owner();
    DestroyWindow(window);
}

void FormWindow::on_destroy(HWND window)
{
    before_destroy(window);
    WindowSide::destroyed(form_);
}

} // namespace platform::win32
