#pragma once
#include <memory>
#include <vector>

#include "platform/win32/window/dpi.h"
#include "platform/win32/painting/fonts.h"
#include "platform/win32/base.h"
#include "platform/win32/window/modal_loop.h"
#include "platform/win32/controls/native_controls.h"
#include "platform/win32/painting/label_images.h"
#include "platform/win32/painting/paint_buffer.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/window_peer.h"
#include "platform/window_side.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

class Win32Platform;

// The real window of one loaded form. Every message enters at its window procedure and goes on
// to one method of the model. The window may go (its close button, or its owner's) while the
// peer lives on: then every call is a no-op.
class FormWindow : public WindowPeer, private WindowSide {
public:
    FormWindow(Win32Platform& platform, Form& form);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void show() override;
    void show_modal(const Form& owner) override;
    void hide() override;
    void caption_changed() override;
    void label_changed(const Label& label, const Rect& old) override;
    void control_changed(const Control& control) override;
    float outer_width() const override;
    Size measure_text(const Font& font, std::string_view text) const override;

    // Null once the window is gone.
    HWND handle() const { return window_.handle; }
    Dpi dpi() const { return dpi_; }
    // The program's pointer at the window's scale; null where the program has none.
    HCURSOR pointer() const { return pointer_.get(); }
    Win32Platform& platform() const { return platform_; }

private:
    // Every form window's procedure (window_procedure.cpp): no failure crosses it.
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // Its work for this window: one method a message.
    LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    // The messages whose work is a line or two (window_procedure.cpp).
    void on_nccreate(HWND window);
    void on_ncdestroy();
    void on_command(WPARAM wparam, LPARAM lparam);
    LRESULT on_notify(LPARAM lparam);
    void on_timer(WPARAM id);
    void on_close(HWND window);
    void on_destroy(HWND window);

    // Geometry: styles, size at the resolution, placement, outer width (window_geometry.cpp).
    DWORD style() const;
    DWORD ex_style() const;
    void lay_out();
    void place(HWND over);
    HWND centred_over() const;
    void on_dpi_changed(HWND window, WPARAM dpi, LPARAM suggested);

    // Focus: kept across activation, moved along the tab order (window_focus.cpp).
    void on_activate(HWND window, WPARAM state);
    void move_focus(bool backwards);

    // Labels as input: hit test, press and release, pointer image (label_input.cpp).
    void on_mouse_move(WPARAM keys, LPARAM point);
    void on_lbutton_down(HWND window, LPARAM point);
    void on_lbutton_up(HWND window, LPARAM point);
    void on_capture_changed();
    bool on_set_cursor(HWND window, WPARAM over, LPARAM hit);
    Label* label_under(LPARAM point) const;
    MouseEvent mouse_event(const Label& label, WPARAM keys, LPARAM point) const;
    void set_pointer();

    // Painting: the whole surface through the buffer, a changed label's box alone (window_painting.cpp).
    void on_paint();
    void draw(HDC target, const RECT& area);

    NativeControl* native(HWND child) const;
    // The icons and the pointer at the window's scale, again when it changes.
    void load_images();
    // The window goes, whoever ends it: its owner takes input again first, and the program ends
    // with its main window.
    void before_destroy(HWND window);
    void enable_owner();

    Win32Platform& platform_;
    Form& form_;
    Dpi dpi_;
    std::unique_ptr<FontCache> fonts_;
    std::vector<std::unique_ptr<NativeControl>> controls_;
    IconHandle big_icon_, small_icon_;
    CursorHandle pointer_;
    PaintBuffer buffer_;
    LabelImages kept_;
    const Label* pressed_ = nullptr;
    HWND focus_ = nullptr;
    bool placed_ = false;
    // The loop of show_modal while it runs; it lives on that call's stack, so it may outlive this peer.
    ModalLoop* modal_ = nullptr;

    // Destroyed first, while everything the window uses still exists.
    struct OwnedWindow {
        HWND handle = nullptr;
        // No message reaches the peer any more.
        void detach() const;
        ~OwnedWindow();
    } window_;
};

} // namespace platform::win32
