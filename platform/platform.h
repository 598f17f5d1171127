#pragma once
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Form;
class WindowPeer;

struct AppFacts {
    std::string title;
    // The executable's folder, without a trailing backslash except at a drive root.
    std::string folder;
    int major = 0, minor = 0, revision = 0;
};

// How a started process's window is shown.
enum class ShowMode { hidden = 0, normal = 1, normal_no_activate = 4 };

struct FileEntry {
    std::string name;
    bool directory = false;
    bool hidden = false;
    bool system = false;
};

// What the windows ask of the system they run on. The Win32 platform does it for real; the
// tests' fake records it.
class Platform {
public:
    virtual ~Platform() = default;

    virtual const AppFacts& app() const = 0;

    // The entries of a folder, with their long names; fails where it cannot be read.
    virtual std::vector<FileEntry> read_folder(const std::string& folder) = 0;

    // Starts the command line's program with the given window and working folder, without
    // waiting for it; fails where the program cannot be found or started.
    virtual void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder) = 0;
    // Opens a web address with the user's browser; fails where nothing can open it.
    virtual void open_address(const std::string& address) = 0;

    // OK only, modal to the owner, which takes no input until it is dismissed; fails where the
    // box cannot be shown.
    virtual void message_box(const Form& owner, const std::string& text, const std::string& title) = 0;

    // Handles all pending window events, then returns.
    virtual void pump_events() = 0;

    // Where a failure that no handler traps ends up.
    virtual void report_failure(const std::string& what) = 0;

    virtual std::unique_ptr<WindowPeer> create_window(Form& form) = 0;
};

// Runs an event handler so that a failure it does not trap goes to the default report.
void guarded(Platform& platform, void (*thunk)(void*), void* context);
template <typename F>
void guarded(Platform& platform, F&& handler)
{
    guarded(
        platform, [](void* c) { (*static_cast<F*>(c))(); }, &handler);
}

} // namespace platform
