#pragma once
#include <memory>
#include <vector>

#include "dpi.h"
#include "fonts.h"
#include "handles.h"
#include "native_controls.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/window_peer.h"
#include "windows_api.h"

namespace platform::win32 {

class Win32Platform;

// The real window of one loaded form. Every message enters at its window procedure and goes on
// to one method of the model. The window may go (its close button, or its owner's) while the
// peer lives on: then every call is a no-op.
class FormWindow : public WindowPeer {
public:
    FormWindow(Win32Platform& platform, Form& form);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void show() override;
    void show_modal(WindowPeer& owner) override;
    void hide() override;
    void caption_changed() override;
    void label_changed(const Label& label, const Rect& old) override;
    void control_changed(const Control& control) override;
    float outer_width() const override;
    Size measure_text(const Font& font, std::string_view text) const override;

    // Null once the window is gone.
    HWND handle() const { return window_.handle; }
    Dpi dpi() const { return dpi_; }
    Win32Platform& platform() const { return platform_; }

    // The window procedure's work for this window.
    LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    DWORD style() const;
    DWORD ex_style() const;
    void lay_out();
    void place(HWND over);
    NativeControl* native(HWND child) const;
    void move_focus(bool backwards);
    void paint();
    HDC paint_buffer(HDC target, int width, int height);
    void set_pointer();
    Label* label_under(LPARAM point) const;
    MouseEvent mouse_event(const Label& label, WPARAM keys, LPARAM point) const;

    Win32Platform& platform_;
    Form& form_;
    Dpi dpi_;
    std::unique_ptr<FontCache> fonts_;
    std::vector<std::unique_ptr<NativeControl>> controls_;
    IconHandle big_icon_, small_icon_;
    // Painting goes through a buffer kept from one paint to the next: the banner repaints its
    // strip forty times a second, and a new bitmap each time is most of that work. The bitmap
    // stays selected into the DC, which is deleted first.
    GdiBitmap buffer_bitmap_;
    MemoryDc buffer_;
    SIZE buffer_size_{};
    const Label* pressed_ = nullptr;
    HWND focus_ = nullptr;
    HWND modal_owner_ = nullptr;
    bool placed_ = false;
    // Shared with a modal loop running in show_modal, which must stop if this peer is deleted meanwhile.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    // Destroyed first, while everything the window uses still exists.
    struct OwnedWindow {
        HWND handle = nullptr;
        ~OwnedWindow();
    } window_;
};

} // namespace platform::win32
