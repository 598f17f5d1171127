#include "fake_platform.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/failure.h"
#include "platform/label.h"

namespace fake {
namespace {

class Window : public platform::WindowPeer {
public:
    Window(Platform& platform, platform::Form& form) : platform_(platform), form_(form) {}

    void show() override {}
    void show_modal(platform::WindowPeer&) override
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
    float outer_width() const override { return form_.layout().client_width + platform_.frame_width; }
    platform::Size measure_text(const platform::Font&, std::string_view text) const override
    {
        return {platform_.char_width * static_cast<float>(text.size()), platform_.text_height};
    }

private:
    Platform& platform_;
    platform::Form& form_;
};

std::string program_of(const std::string& command_line)
{
    if (!command_line.empty() && command_line.front() == '"')
        return command_line.substr(1, command_line.find('"', 1) - 1);
    return command_line.substr(0, command_line.find(' '));
}

} // namespace

Platform::Platform() : facts{"Vintrel", "C:\\Games\\Game\\data", 1, 0, 0} {}

std::vector<platform::FileEntry> Platform::read_folder(const std::string& folder)
{
    const auto found = folders.find(folder);
    if (found == folders.end())
        throw platform::Failure("Path not found: " + folder);
    return found->second;
}

void Platform::start_process(const std::string& command_line, platform::ShowMode mode, const std::string& working_folder)
{
    if (std::find(startable.begin(), startable.end(), program_of(command_line)) == startable.end())
        throw platform::Failure("File not found");
    starts.push_back({command_line, mode, working_folder});
}

void Platform::open_address(const std::string& address)
{
    if (!address_opens)
        throw platform::Failure("No program opens web addresses");
    opened_addresses.push_back(address);
}

void Platform::message_box(const std::string& text, const std::string& title)
{
    message_boxes.push_back({text, title});
    if (while_message_box)
        while_message_box(message_boxes.back());
}

void Platform::pump_events()
{
    ++pumps;
    // Events run once: what they post in turn waits for the next pump.
    if (auto events = std::exchange(pending_events, nullptr))
        events();
}

std::unique_ptr<platform::WindowPeer> Platform::create_window(platform::Form& form)
{
    return std::make_unique<Window>(*this, form);
}

void click_at(platform::Form& form, float x, float y)
{
    if (platform::Label* label = form.label_at(x, y))
        label->click();
}

void move_to(platform::Form& form, float x, float y)
{
    if (platform::Label* label = form.label_at(x, y))
        label->mouse_move({0, 0, x - label->bounds().left, y - label->bounds().top});
}

} // namespace fake
