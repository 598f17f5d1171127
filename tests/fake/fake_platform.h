#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/platform.h"
#include "platform/window_peer.h"

namespace fake {

struct ProcessStart {
    std::string command_line;
    platform::ShowMode mode;
    std::string working_folder;
};

struct MessageBox {
    std::string text;
    std::string title;
};

// A platform that does nothing for real: it records what the windows asked of it and lets a
// test decide what the system answers.
class Platform : public platform::Platform {
public:
    Platform();

    platform::AppFacts facts;
    // Folder name -> its entries; a folder not here cannot be read.
    std::map<std::string, std::vector<platform::FileEntry>> folders;
    // Program names (the command line's head, without quotes) that start; others fail.
    std::vector<std::string> startable;
    bool address_opens = true;
    // Twips a character takes when text is measured, and the frame a window adds to its width.
    float char_width = 150, text_height = 300, frame_width = 90;

    std::vector<ProcessStart> starts;
    std::vector<std::string> opened_addresses;
    std::vector<MessageBox> message_boxes;
    std::vector<std::string> failures;
    int pumps = 0, modal_shows = 0;
    std::vector<std::string> repainted; // labels a window was told of, in order

    // Run while a message box is open, while a form is shown modal (it must be hidden or
    // unloaded by the end), and at each pump: the user's doing and the events waiting then.
    std::function<void(const MessageBox&)> while_message_box;
    std::function<void(platform::Form&)> while_modal;
    std::function<void()> pending_events;

    const platform::AppFacts& app() const override { return facts; }
    std::vector<platform::FileEntry> read_folder(const std::string& folder) override;
    void start_process(const std::string& command_line, platform::ShowMode mode, const std::string& working_folder) override;
    void open_address(const std::string& address) override;
    void message_box(const std::string& text, const std::string& title) override;
    void pump_events() override;
    void report_failure(const std::string& what) override { failures.push_back(what); }
    std::unique_ptr<platform::WindowPeer> create_window(platform::Form& form) override;
};

// A click or pointer move at a point of a form's client area (twips), as the window would pass it on.
void click_at(platform::Form& form, float x, float y);
void move_to(platform::Form& form, float x, float y);

} // namespace fake
