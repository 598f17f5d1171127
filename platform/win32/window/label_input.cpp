#include "platform/win32/window/form_window.h"

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

int mouse_buttons(WPARAM keys)
{
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

int shift_keys(WPARAM keys)
{
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

void FormWindow::on_mouse_move(WPARAM keys, LPARAM point)
{
    if (Label* label = label_under(point))
        WindowSide::mouse_move(*label, mouse_event(*label, keys, point));
}

void FormWindow::on_lbutton_down(HWND window, LPARAM point)
{
    pressed_ = label_under(point);
    if (pressed_)
        SetCapture(window);
}

// A click is a press and a release over the same label.
void FormWindow::on_lbutton_up(HWND window, LPARAM point)
{
    const Label* pressed = pressed_;
    pressed_ = nullptr;
    if (GetCapture() == window)
        ReleaseCapture();
    Label* released = label_under(point);
    if (pressed && released == pressed)
        WindowSide::click(*released);
}

void FormWindow::on_capture_changed() { pressed_ = nullptr; }

bool FormWindow::on_set_cursor(HWND window, WPARAM over, LPARAM hit)
{
    if (reinterpret_cast<HWND>(over) != window || LOWORD(hit) != HTCLIENT)
        return false;
    set_pointer();
    return true;
}

Label* FormWindow::label_under(LPARAM point) const
{
    const auto x = static_cast<short>(LOWORD(point)), y = static_cast<short>(HIWORD(point));
    return form_.label_at(dpi_.to_twips(x), dpi_.to_twips(y));
}

MouseEvent FormWindow::mouse_event(const Label& label, WPARAM keys, LPARAM point) const
{
    MouseEvent event;
    event.button = mouse_buttons(keys);
    event.shift = shift_keys(keys);
    event.x = dpi_.to_twips(static_cast<short>(LOWORD(point))) - label.bounds().left;
    event.y = dpi_.to_twips(static_cast<short>(HIWORD(point))) - label.bounds().top;
    return event;
}

// The program's pointer over a label that asks for it, the arrow elsewhere.
void FormWindow::set_pointer()
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(window_.handle, &point);
    const Label* label = form_.label_at(dpi_.to_twips(point.x), dpi_.to_twips(point.y));
    const HCURSOR program = pointer_.get();
    SetCursor(label && label->pointer() == Pointer::program && program
                  ? program
                  : LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW)));
}

} // namespace platform::win32
