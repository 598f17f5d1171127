#include "platform/win32/window/form_window.h"

#include <algorithm>
#include <vector>

namespace platform::win32 {

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
    WindowSide::activated(form_);
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

} // namespace platform::win32
