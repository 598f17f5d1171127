#pragma once
#include <map>
#include <string>
#include <string_view>

#include "platform/win32/system/startup_read_ahead.h"
#include "platform/win32/base.h"
#include "platform/platform.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// What the default report says about a failure no handler trapped.
std::string failure_text(std::string_view title, std::string_view what);

// The toolkit's system side on Windows.
class FormWindow;

class Win32Platform : public Platform {
public:
    // The show command is the one the program was started with; the first window shown takes it.
    Win32Platform(HINSTANCE instance, int show_command);

    const AppFacts& app() const override { return facts_; }
    std::vector<FileEntry> read_folder(const std::string& folder) override;
    void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder) override;
    void open_address(const std::string& address) override;
    void message_box(const Form& owner, const std::string& text, const std::string& title) override;
    void pump_events() override;
    void report_failure(const std::string& what) override;
    std::unique_ptr<WindowPeer> create_window(Form& form) override;

    // The real window of a loaded form, kept as made; null where the form has none.
    HWND window_of(const Form& form) const;
    const FormWindow* peer_of(const Form& form) const;
    void forget_window(const Form& form) { windows_.erase(&form); }

    // What the form windows share.
    HINSTANCE instance() const { return instance_; }
    // The program's images at a size in pixels; null where the program has none.
    CursorHandle program_pointer(int size) const;
    IconHandle program_icon(int size) const;
    int take_show_command();
    // The first form shown on its own; closing it ends the program.
    HWND main_window() const { return main_window_; }
    void set_main_window(HWND window) { main_window_ = window; }
    void main_window_destroyed() { main_window_ = nullptr; }

private:
    HWND failure_owner() const;

    HINSTANCE instance_;
    int show_command_;
    bool shown_ = false;
    bool reporting_ = false;
    AppFacts facts_;
    // The program folder read, and libraries loaded, while the main window is made.
    StartupReadAhead read_ahead_;
    HWND main_window_ = nullptr;
    std::map<const Form*, const FormWindow*> windows_;
};

} // namespace platform::win32
