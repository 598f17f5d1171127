#include "support/vintrel.h"

#include "support/ui.h"

#include <stdexcept>

namespace e2e {

Vintrel::Vintrel(const Game& game)
{
    process_ = std::make_unique<Process>(game.vintrel(), "", game.elsewhere());
    // The first start in a fresh prefix is slow.
    if (!wait_until([&] { return (main_ = find_top_window(process_->id(), "Vintrel")) != nullptr; }, 20000))
        throw std::runtime_error("Vintrel's window did not show");
    process_->wait_idle(5000);
    list_ = find_child(main_, "ListBox");
    for (HWND c : children(main_))
        if (class_name(c) == "Button" && text(c) == "Extract from BIF.") check_box_ = c;
    if (!list_ || !check_box_) throw std::runtime_error("Vintrel's list box or check box is missing");
}

HWND Vintrel::wait_message_box(const std::string& caption, int timeout_ms) const
{
    HWND box = nullptr;
    wait_until([&] { return (box = find_top_window(process_->id(), caption, "#32770")) != nullptr; }, timeout_ms);
    return box;
}

HWND Vintrel::any_message_box() const
{
    for (HWND w : top_windows(process_->id()))
        if (class_name(w) == "#32770") return w;
    return nullptr;
}

std::string message_text(HWND box)
{
    // The icon is a static too, without text.
    for (HWND c : children(box))
        if (class_name(c) == "Static" && !text(c).empty()) return text(c);
    return {};
}

void press_ok(HWND box)
{
    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) throw std::runtime_error("message box without an OK button");
    SendMessageW(ok, BM_CLICK, 0, 0);
    wait_until([&] { return !IsWindow(box); }, 3000);
}

} // namespace e2e
