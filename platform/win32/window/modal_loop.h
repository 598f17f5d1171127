#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

// The loop of a window shown modal. Its owner takes no input meanwhile and gets it back once,
// whichever way the window goes: hidden, closed, or its peer deleted by a handler on the way.
// A window shown modal again from inside its own loop runs a loop nested in the first.
class ModalLoop {
public:
    ModalLoop(HWND window, HWND owner, ModalLoop* outer);
    // The owner takes input again and is activated.
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // Handles every window's messages until the window is hidden or gone. A quit request ends
    // the loop and is posted again, so the loop that owns the program still sees it.
    void run();
    // Called before the window hides or goes, so activation passes to the owner and not to
    // another program.
    void enable_owner();
    // The window's peer was deleted; whoever runs the loop must not touch it afterwards.
    void peer_deleted();
    bool peer_alive() const { return peer_alive_; }
    ModalLoop* outer() const { return outer_; }

private:
    HWND window_;
    HWND owner_;
    ModalLoop* outer_;
    HWND disabled_ = nullptr; // the owner while this loop keeps it from input
    bool peer_alive_ = true;
};

} // namespace platform::win32
