#pragma once
// A platform that does nothing for real: it records what the windows ask of it and lets a test
// decide what the system answers.
#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/platform.h"
#include "platform/window_peer.h"
#include "platform/window_side.h"

namespace fake {

struct ProcessStart {
    std::string command_line;
    platform::ShowMode mode;
    std::string working_folder;
};

struct MessageBox {
    std::string text, title;
    const platform::Form* owner;
};

class Platform : public platform::Platform {
public:
    platform::AppFacts facts{"Vintrel", "C:\\Games\\Game\\data", 1, 0, 0};
    // Folder name -> its entries; a folder not here cannot be read.
    std::map<std::string, std::vector<platform::FileEntry>> folders;
    // Program names (the command line's head, without quotes) that start; others fail.
    std::vector<std::string> startable;
    bool address_opens = true;
    std::vector<ProcessStart> starts;
    std::vector<std::string> opened_addresses, failures;
    std::vector<MessageBox> message_boxes;
    int pumps = 0, modal_shows = 0;
    std::vector<std::string> repainted; // labels a window was told of, in order
    // Run while a message box is open, while a form is shown modal (it must be hidden or
    // unloaded by the end), and at each pump: the user's doing and the events waiting then.
    std::function<void(const MessageBox&)> while_message_box;
    std::function<void(platform::Form&)> while_modal;
    std::function<void()> pending_events;
    const platform::AppFacts& app() const override { return facts; }
    std::vector<platform::FileEntry> read_folder(const std::string& folder) override
    {
        const auto found = folders.find(folder);
        if (found == folders.end())
            throw platform::Failure("Path not found: " + folder);
        return found->second;
    }
    void start_process(const std::string& line, platform::ShowMode mode, const std::string& folder) override
    {
        const std::string program =
            line.starts_with('"') ? line.substr(1, line.find('"', 1) - 1) : line.substr(0, line.find(' '));
        if (std::find(startable.begin(), startable.end(), program) == startable.end())
            throw platform::Failure("File not found");
        starts.push_back({line, mode, folder});
    }
    void open_address(const std::string& address) override
    {
        if (!address_opens)
            throw platform::Failure("No program opens web addresses");
        opened_addresses.push_back(address);
    }
    void message_box(const platform::Form& owner, const std::string& text, const std::string& title) override
    {
        message_boxes.push_back({text, title, &owner});
        if (while_message_box)
            while_message_box(message_boxes.back());
    }
    void pump_events() override
    {
        ++pumps;
        if (auto events = std::exchange(pending_events, nullptr)) // what they post waits for the next pump
            events();
    }
    void report_failure(const std::string& what) override { failures.push_back(what); }
    std::unique_ptr<platform::WindowPeer> create_window(platform::Form& form) override;
};

// A window that measures 150 twips a character, 300 high, and adds a 90-twip frame.
class Window : public platform::WindowPeer {
public:
    Window(Platform& platform, platform::Form& form) : platform_(platform), form_(form) {}
    void show() override {}
    void show_modal(const platform::Form&) override
    {
        ++platform_.modal_shows;
        if (platform_.while_modal)
            platform_.while_modal(form_);
        if (form_.state() == platform::FormState::shown)
            throw std::logic_error("a modal window was left open: the call would never return");
    }
    void hide() override {}
    void caption_changed() override {}
    void label_changed(const platform::Label& label, const platform::Rect&) override
    {
        platform_.repainted.push_back(label.name());
    }
    void control_changed(const platform::Control&) override {}
    float outer_width() const override { return form_.layout().client_width + 90; }
    platform::Size measure_text(const platform::Font&, std::string_view text) const override
    {
        return {150.0f * static_cast<float>(text.size()), 300};
    }

private:
    Platform& platform_;
    platform::Form& form_;
};

inline std::unique_ptr<platform::WindowPeer> Platform::create_window(platform::Form& form)
{
    return std::make_unique<Window>(*this, form);
}

// The user, and the window's news, as the real window passes them on.
struct User : platform::WindowSide {
    using WindowSide::activated;
    using WindowSide::click;
    using WindowSide::destroyed;
    using WindowSide::double_click;
    using WindowSide::mouse_move;
    using WindowSide::select;
    using WindowSide::tick;
};

// A click or pointer move at a point of a form's client area (twips).
inline void click_at(platform::Form& form, float x, float y)
{
    if (platform::Label* label = form.label_at(x, y))
        User::click(*label);
}
inline void move_to(platform::Form& form, float x, float y)
{
    if (platform::Label* label = form.label_at(x, y))
        User::mouse_move(*label, {0, 0, x - label->bounds().left, y - label->bounds().top});
}

// The program in a game's data folder holding the given files, biftool.exe among them.
inline Platform game_folder(const std::vector<std::string>& bif_names, const std::string& folder = "C:\\Game\\data")
{
    Platform p;
    p.facts.folder = folder;
    for (const auto& name : bif_names)
        p.folders[folder].push_back({name});
    p.folders[folder].push_back({"biftool.exe"});
    p.startable.push_back(folder + "\\biftool.exe"); // as the program names it, even after a drive root
    return p;
}

} // namespace fake
