#include <algorithm>

#include "dpi.h"
#include "native_controls.h"
#include "platform/scroll_bar.h"

namespace platform::win32 {
namespace {

// A real scroll bar that holds the model's number where other programs can read it; the form
// stacks it behind the list box, so it is never seen. The banner moves the number forty times a
// second, so it reaches the control only when something asks the control for it, or the control
// paints.
class ScrollBarControl : public NativeControl {
public:
    ScrollBarControl(ScrollBar& model, HWND form_window, int id)
        : model_(model), window_(make_child(L"SCROLLBAR", WS_TABSTOP | SBS_HORZ, form_window, id))
    {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ScrollBarControl::procedure)));
    }
    ~ScrollBarControl() override { detach(); }
    ScrollBarControl(const ScrollBarControl&) = delete;
    ScrollBarControl& operator=(const ScrollBarControl&) = delete;

    const Control& model() const override { return model_; }
    HWND window() const override { return window_; }
    int tab_index() const override { return model_.tab_index(); }

    void update() override { stale_ = true; }

    void lay_out(FontCache& fonts) override
    {
        const RECT box = fonts.dpi().to_pixels(model_.bounds());
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        auto* self = reinterpret_cast<ScrollBarControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const WNDPROC original = self->original_;
        switch (message) {
        case SBM_GETPOS:
        case SBM_GETRANGE:
        case SBM_GETSCROLLINFO:
        case SBM_GETSCROLLBARINFO:
        case WM_PAINT:
            self->set_scroll_info();
            break;
        case WM_NCDESTROY:
            self->detach();
            break;
        default:
            break;
        }
        return CallWindowProcW(original, window, message, wparam, lparam);
    }

    void set_scroll_info()
    {
        if (!stale_)
            return;
        stale_ = false;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS;
        info.nMin = std::min(model_.min(), model_.max());
        info.nMax = std::max(model_.min(), model_.max());
        info.nPos = model_.value();
        SetScrollInfo(window_, SB_CTL, &info, FALSE);
    }

    // The window may go before this control does, with its form window.
    void detach()
    {
        if (!window_)
            return;
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
    }

    ScrollBar& model_;
    HWND window_;
    WNDPROC original_ = nullptr;
    bool stale_ = true;
};

} // namespace

std::unique_ptr<NativeControl> make_scroll_bar(ScrollBar& model, HWND form_window, int id)
{
    return std::make_unique<ScrollBarControl>(model, form_window, id);
}

} // namespace platform::win32
