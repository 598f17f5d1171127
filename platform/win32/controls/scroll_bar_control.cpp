#include <algorithm>

#include "platform/win32/window/dpi.h"
#include "platform/win32/controls/native_controls.h"
#include "platform/scroll_bar.h"

namespace platform::win32 {
namespace {

// A real scroll bar that holds the model's number where other programs can read it; the form
// stacks it behind the list box, so it is never seen. Readers on Windows take the number from
// the control's own state without asking the control, so every change reaches it at once, but
// without a redraw: set so, it costs about a microsecond a tick under Wine, a redraw milliseconds.
class ScrollBarControl : public NativeControl {
public:
    ScrollBarControl(ScrollBar& model, HWND form_window, int id)
        : model_(model), window_(make_child(L"SCROLLBAR", WS_TABSTOP | SBS_HORZ, form_window, id))
    {
    }

    const Control& model() const override { return model_; }
    HWND window() const override { return window_; }
    int tab_index() const override { return model_.tab_index(); }

    void update() override
    {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS;
        info.nMin = std::min(model_.min(), model_.max());
        info.nMax = std::max(model_.min(), model_.max());
        info.nPos = model_.value();
        SetScrollInfo(window_, SB_CTL, &info, FALSE);
    }

    void lay_out(FontCache& fonts) override
    {
        const RECT box = fonts.dpi().to_pixels(model_.bounds());
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    ScrollBar& model_;
    HWND window_;
};

} // namespace

std::unique_ptr<NativeControl> make_scroll_bar(ScrollBar& model, HWND form_window, int id)
{
    return std::make_unique<ScrollBarControl>(model, form_window, id);
}

} // namespace platform::win32
