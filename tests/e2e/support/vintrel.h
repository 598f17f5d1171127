#pragma once
// A running Vintrel.exe of a game folder and the windows a test talks to.
#include "support/game.h"
#include "support/process.h"

#include <windows.h>

#include <memory>
#include <string>

namespace e2e {

class Vintrel {
public:
    // Starts it from the game's other working folder and waits for its window and controls.
    explicit Vintrel(const Game& game);

    const Process& process() const { return *process_; }
    HWND main() const { return main_; }
    HWND list() const { return list_; }
    HWND check_box() const { return check_box_; }

    // A message box of the program with this caption, once it shows, or nullptr.
    HWND wait_message_box(const std::string& caption, int timeout_ms) const;
    // Any message box of the program now, or nullptr.
    HWND any_message_box() const;

private:
    std::unique_ptr<Process> process_;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
    HWND check_box_ = nullptr;
};

// The text of a message box, and its dismissal with its OK button.
std::string message_text(HWND box);
void press_ok(HWND box);

} // namespace e2e
