#include "form_window.h"

#include <algorithm>

#include "colors.h"
#include "event_pump.h"
#include "form_window_class.h"
#include "label_painter.h"
#include "platform/failure.h"
#include "platform/label.h"
#include "text.h"
#include "win32_platform.h"
#include "window_corners.h"

namespace platform::win32 {
namespace {

constexpr int first_control_id = 100;

// No failure crosses back into the system: what the model's own guard does not catch, this does.
LRESULT CALLBACK form_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
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

int mouse_buttons(WPARAM keys)
{
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

int shift_keys(WPARAM keys)
{
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

FormWindow::FormWindow(Win32Platform& platform, Form& form) : platform_(platform), form_(form), dpi_(screen_dpi())
{
    register_form_window_class(platform_.instance(), form_window_procedure);
    const FormLayout& layout = form_.layout();
    // A window kept out of the task bar belongs to the main window, so it also goes with it.
    const HWND owner = layout.in_taskbar ? nullptr : platform_.main_window();
    // Made on its owner's screen, at that screen's scale, rather than where new windows go.
    POINT at{CW_USEDEFAULT, CW_USEDEFAULT};
    RECT over;
    if (owner && layout.start == StartPosition::center_owner && GetWindowRect(owner, &over))
        at = {over.left + (over.right - over.left) / 2, over.top + (over.bottom - over.top) / 2};
    CreateWindowExW(ex_style(), form_window_class_name, widen(form_.caption()).c_str(), style(), at.x, at.y, 0, 0,
                    owner, nullptr, platform_.instance(), this);
    if (!window_.handle)
        throw Failure("Cannot make the window " + layout.name);
    ask_for_square_corners(window_.handle); // the strips along the edges are drawn to the corners

    // Made once the window's own resolution is known.
    dpi_ = window_dpi(window_.handle);
    fonts_ = std::make_unique<FontCache>(dpi_);
    int id = first_control_id;
    HWND above = HWND_TOP;
    for (Control* control : form_.controls()) {
        auto made = make_native_control(*control, window_.handle, id++);
        if (!made)
            continue;
        // The model's stacking order, topmost first, is the children's.
        if (const HWND child = made->window()) {
            SetWindowPos(child, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            above = child;
        }
        made->update();
        controls_.push_back(std::move(made));
    }
    load_images();
    lay_out();
}

FormWindow::~FormWindow()
{
    if (modal_)
        modal_->peer_gone();
    if (!window_.handle)
        return;
    // Unloaded by the program rather than closed by the user: the model knows already.
    window_.detach();
    window_going(window_.handle);
}

void FormWindow::OwnedWindow::detach() const
{
    if (handle)
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
}

FormWindow::OwnedWindow::~OwnedWindow()
{
    detach();
    if (handle)
        DestroyWindow(handle);
}

void FormWindow::window_going(HWND window)
{
    give_back_owner();
    if (platform_.main_window() == window) {
        platform_.main_window_gone();
        PostQuitMessage(0);
    }
}

void FormWindow::give_back_owner()
{
    if (modal_)
        modal_->give_back_owner();
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
    paint_form_surface(buffer_, form_, *fonts_, area);
    BitBlt(target, area.left, area.top, width, height, buffer_.dc(), area.left, area.top, SRCCOPY);
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

void FormWindow::on_mouse_move(WPARAM keys, LPARAM point)
{
    if (Label* label = label_under(point))
        label->mouse_move(mouse_event(*label, keys, point));
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
        released->click();
}

void FormWindow::on_capture_changed() { pressed_ = nullptr; }

bool FormWindow::on_set_cursor(HWND window, WPARAM over, LPARAM hit)
{
    if (reinterpret_cast<HWND>(over) != window || LOWORD(hit) != HTCLIENT)
        return false;
    set_pointer();
    return true;
}

// The focus leaves with the window and comes back to the same control.
void FormWindow::on_activate(HWND window, WPARAM state)
{
    if (LOWORD(state) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus))
            focus_ = focus;
        return;
    }
    if (!HIWORD(state)) {
        if (focus_ && IsChild(window, focus_))
            SetFocus(focus_);
        else
            move_focus(false);
    }
    form_.activated();
}

void FormWindow::on_dpi_changed(HWND window, WPARAM dpi, LPARAM suggested)
{
    // Fonts in use by the controls are freed only once the new ones are in place.
    const std::unique_ptr<FontCache> previous = std::move(fonts_);
    buffer_.release(); // it holds the old fonts
    dpi_ = Dpi{LOWORD(dpi)};
    fonts_ = std::make_unique<FontCache>(dpi_);
    load_images();
    // Not yet placed, it is being placed on a screen of another scale: centred again at its new size.
    const auto* where = reinterpret_cast<const RECT*>(suggested);
    if (placed_)
        SetWindowPos(window, nullptr, where->left, where->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    lay_out();
    // Text is not measured in proportion from one resolution to another.
    form_.fit_labels();
    if (!placed_)
        place(centred_over());
}

// The owner takes input again before this window goes, so activation passes to it.
void FormWindow::on_close(HWND window)
{
    give_back_owner();
    DestroyWindow(window);
}

void FormWindow::on_destroy(HWND window)
{
    window_going(window);
    form_.destroyed();
}

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

// The icons and the pointer at the window's own scale, which on a screen of another scale is not
// the system's. The window lets go of the old images before they are freed.
void FormWindow::load_images()
{
    CursorHandle pointer = platform_.program_pointer(system_metric(SM_CXCURSOR, dpi_));
    if (pointer_ && GetCursor() == pointer_.get())
        SetCursor(pointer.get());
    pointer_ = std::move(pointer);
    if (!form_.layout().has_icon)
        return;
    IconHandle large = platform_.program_icon(system_metric(SM_CXICON, dpi_));
    IconHandle little = platform_.program_icon(system_metric(SM_CXSMICON, dpi_));
    SendMessageW(window_.handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    SendMessageW(window_.handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    big_icon_ = std::move(large);
    small_icon_ = std::move(little);
}

void FormWindow::show()
{
    const HWND window = window_.handle;
    if (!window)
        return;
    if (!placed_) {
        place(centred_over());
        placed_ = true;
    }
    if (!platform_.main_window())
        platform_.set_main_window(window);
    ShowWindow(window, platform_.take_show_command());
    UpdateWindow(window);
}

void FormWindow::show_modal(WindowPeer& owner_peer)
{
    const HWND window = window_.handle;
    const HWND owner = static_cast<FormWindow&>(owner_peer).handle();
    if (!window)
        return;
    // The owner is a creation parameter; GWLP_HWNDPARENT is the one way to change it on a top-level
    // window (SetParent would make it a child).
    if (owner && GetWindow(window, GW_OWNER) != owner)
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // Centred once, when loaded: a hidden window comes back where the user left it.
    if (!placed_) {
        place(owner);
        placed_ = true;
    }

    ModalLoop loop(window, owner, modal_);
    modal_ = &loop;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    loop.run();
    // A handler inside the loop may have deleted this peer.
    if (loop.peer_alive())
        modal_ = loop.outer();
}

void FormWindow::hide()
{
    const HWND window = window_.handle;
    if (!window)
        return;
    give_back_owner();
    ShowWindow(window, SW_HIDE);
}

void FormWindow::caption_changed()
{
    if (window_.handle)
        SetWindowTextW(window_.handle, widen(form_.caption()).c_str());
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

void FormWindow::control_changed(const Control& control)
{
    if (!window_.handle)
        return;
    for (const auto& native : controls_) {
        if (&native->model() == &control) {
            native->update();
            return;
        }
    }
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

Size FormWindow::measure_text(const Font& font, std::string_view text) const
{
    const WindowDc dc(window_.handle);
    if (!dc.get())
        return {};
    const Selection chosen(dc.get(), fonts_->get(font));
    const std::wstring wide = widen(text);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return Size{dpi_.to_twips(extent.cx), dpi_.to_twips(std::max<int>(extent.cy, metrics.tmHeight))};
}

NativeControl* FormWindow::native(HWND child) const
{
    for (const auto& control : controls_) {
        if (child && control->window() == child)
            return control.get();
    }
    return nullptr;
}

// Tab moves through the windowed controls in their tab order; labels take no focus.
void FormWindow::move_focus(bool backwards)
{
    std::vector<NativeControl*> order;
    for (const auto& control : controls_) {
        const HWND child = control->window();
        if (child && control->tab_index() >= 0 && IsWindowEnabled(child) && IsWindowVisible(child))
            order.push_back(control.get());
    }
    if (order.empty())
        return;
    std::stable_sort(order.begin(), order.end(),
                     [](const NativeControl* a, const NativeControl* b) { return a->tab_index() < b->tab_index(); });
    const HWND focus = GetFocus();
    auto at = std::find_if(order.begin(), order.end(), [&](const NativeControl* c) { return c->window() == focus; });
    std::size_t next = 0;
    if (at != order.end()) {
        const std::size_t here = static_cast<std::size_t>(at - order.begin());
        next = backwards ? (here + order.size() - 1) % order.size() : (here + 1) % order.size();
    } else if (backwards) {
        next = order.size() - 1;
    }
    SetFocus(order[next]->window());
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
