#include "platform/win32/window/modal_loop.h"

#include "platform/win32/window/event_pump.h"

namespace platform::win32 {

ModalLoop::ModalLoop(HWND window, HWND owner, ModalLoop* outer) : window_(window), owner_(owner), outer_(outer)
{
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        disabled_ = owner_;
    }
}

ModalLoop::~ModalLoop()
{
    enable_owner();
    if (owner_ && IsWindow(owner_) && GetActiveWindow() != owner_)
        SetActiveWindow(owner_);
}

void ModalLoop::run()
{
    const OwnLoop own;
    MSG message;
    while (IsWindowVisible(window_)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1)
            return;
        dispatch(message);
    }
}

void ModalLoop::enable_owner()
{
    if (disabled_ && IsWindow(disabled_))
        EnableWindow(disabled_, TRUE);
    disabled_ = nullptr;
    if (outer_)
        outer_->enable_owner();
}

void ModalLoop::peer_deleted()
{
    peer_alive_ = false;
    if (outer_)
        outer_->peer_deleted();
}

} // namespace platform::win32
