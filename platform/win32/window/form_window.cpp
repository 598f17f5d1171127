#include "platform/win32/window/form_window.h"

#include <algorithm>

#include "platform/win32/window/form_window_class.h"
#include "platform/failure.h"
#include "platform/win32/base.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window/window_corners.h"

namespace platform::win32 {
namespace {

constexpr int first_control_id = 100;

} // namespace

FormWindow::FormWindow(Win32Platform& platform, Form& form) : platform_(platform), form_(form), dpi_(screen_dpi())
{
    register_form_window_class(platform_.instance(), procedure);
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

// On a screen of another scale the window's scale is not the system's. The window lets go of the
// old images before they are freed.
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

FormWindow::~FormWindow()
{
    platform_.forget_window(form_);
    if (modal_)
        modal_->peer_deleted();
    if (!window_.handle)
        return;
    // Unloaded by the program rather than closed by the user: the model knows already.
    window_.detach();
    before_destroy(window_.handle);
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

void FormWindow::before_destroy(HWND window)
{
    enable_owner();
    if (platform_.main_window() == window) {
        platform_.main_window_destroyed();
        PostQuitMessage(0);
    }
}

void FormWindow::enable_owner()
{
    if (modal_)
        modal_->enable_owner();
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

void FormWindow::show_modal(const Form& owner_form)
{
    const HWND window = window_.handle;
    const HWND owner = platform_.window_of(owner_form);
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
    enable_owner();
    ShowWindow(window, SW_HIDE);
}

void FormWindow::caption_changed()
{
    if (window_.handle)
        SetWindowTextW(window_.handle, widen(form_.caption()).c_str());
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

} // namespace platform::win32
