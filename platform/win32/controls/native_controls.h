#pragma once
#include <memory>

#include "platform/win32/painting/fonts.h"
#include "platform/control.h"
#include "platform/window_side.h"
#include "win32_base/windows_api.h"

namespace platform {
class CheckBox;
class FileListBox;
class ScrollBar;
class Timer;
} // namespace platform

namespace platform::win32 {

// The real side of one windowed control (or the timer) of a form window. The form window hands
// each its own messages; each passes them to one method of its model.
class NativeControl : protected WindowSide {
public:
    virtual ~NativeControl() = default;

    virtual const Control& model() const = 0;
    // The child window; null for a control without one.
    virtual HWND window() const { return nullptr; }
    // Where the control stands in the Tab order; negative takes no focus.
    virtual int tab_index() const { return -1; }

    // The model changed: show it.
    virtual void update() = 0;
    // Position, size and font at the form's resolution.
    virtual void lay_out(FontCache&) {}

    // A WM_COMMAND notification from the child window.
    virtual void notify(WORD) {}
    // NM_CUSTOMDRAW from the child window: what the child is to do at this stage.
    virtual LRESULT custom_draw(const NMCUSTOMDRAW&) { return CDRF_DODEFAULT; }
    // WM_TIMER: true where the timer is this control's (and then it has ticked).
    virtual bool tick(UINT_PTR) { return false; }
};

// The native side of a model control, the kind each control asks for; null for a label, which
// the form window draws itself. The id is the child window's or timer's; the child is made in
// the form window.
std::unique_ptr<NativeControl> make_native_control(Control& control, HWND form_window, int id);

std::unique_ptr<NativeControl> make_list_box(FileListBox& model, HWND form_window, int id);
std::unique_ptr<NativeControl> make_check_box(CheckBox& model, HWND form_window, int id);
std::unique_ptr<NativeControl> make_scroll_bar(ScrollBar& model, HWND form_window, int id);
std::unique_ptr<NativeControl> make_timer(Timer& model, HWND form_window, int id);

// A child window of the form, made for one control.
HWND make_child(const wchar_t* window_class, DWORD style, HWND form_window, int id);

} // namespace platform::win32
