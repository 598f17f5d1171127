#include "platform/win32/win32_platform.h"

#include "platform/win32/system/app_facts.h"
#include "platform/win32/window/event_pump.h"
#include "platform/win32/system/folder_reader.h"
#include "platform/win32/window/form_window.h"
#include "platform/win32/system/open_address.h"
#include "platform/failure.h"
#include "platform/win32/system/process_start.h"
#include "resources/resource_ids.h"
#include "platform/win32/system/system_error.h"
#include "platform/win32/system/system_library.h"
#include "platform/win32/base.h"

namespace platform::win32 {
namespace {

// A standard OK box, modal to the owner (none where null); fails where it cannot be shown.
void show_message_box(HWND owner, const std::string& text, const std::string& title)
{
    const SystemLoop box;
    if (MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), MB_OK) == 0)
        throw Failure(system_error_text(GetLastError()));
}

} // namespace

std::string failure_text(std::string_view title, std::string_view what)
{
    std::string text(title);
    text += " has met a failure it could not handle:\n\n";
    text += what.empty() ? std::string_view("Unknown failure") : what;
    return text;
}

Win32Platform::Win32Platform(HINSTANCE instance, int show_command)
    : instance_(instance), show_command_(show_command), facts_(read_app_facts()), read_ahead_(facts_.folder)
{
}

std::vector<FileEntry> Win32Platform::read_folder(const std::string& folder)
{
    if (auto early = read_ahead_.take(folder))
        return std::move(*early);
    return win32::read_folder(folder);
}

void Win32Platform::start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder)
{
    win32::start_process(command_line, mode, working_folder);
}

void Win32Platform::open_address(const std::string& address) { win32::open_address(address); }

void Win32Platform::message_box(const Form& owner, const std::string& text, const std::string& title)
{
    show_message_box(window_of(owner), text, title);
}

void Win32Platform::pump_events() { win32::pump_events(); }

// Never fails itself, since it runs where failures end. A failure met while its report is up
// (a timer keeps ticking under a message box) is not stacked on top of it.
void Win32Platform::report_failure(const std::string& what)
{
    if (reporting_)
        return;
    reporting_ = true;
    try {
        show_message_box(failure_owner(), failure_text(facts_.title, what), facts_.title);
    } catch (...) {
    }
    reporting_ = false;
}

// The program's window the user last worked in, even while another program is active: a report
// without an owner would leave the program's windows taking input under it.
HWND Win32Platform::failure_owner() const
{
    if (const HWND active = GetActiveWindow())
        return active;
    if (!main_window_)
        return nullptr;
    const HWND popup = GetLastActivePopup(main_window_);
    return popup && IsWindowVisible(popup) && IsWindowEnabled(popup) ? popup : main_window_;
}

std::unique_ptr<WindowPeer> Win32Platform::create_window(Form& form)
{
    auto window = std::make_unique<FormWindow>(*this, form);
    windows_[&form] = window.get();
    return window;
}

HWND Win32Platform::window_of(const Form& form) const
{
    const FormWindow* peer = peer_of(form);
    return peer ? peer->handle() : nullptr;
}

const FormWindow* Win32Platform::peer_of(const Form& form) const
{
    const auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second;
}

CursorHandle Win32Platform::program_pointer(int size) const
{
    return CursorHandle(
        static_cast<HCURSOR>(LoadImageW(instance_, MAKEINTRESOURCEW(VINTREL_POINTER_ID), IMAGE_CURSOR, size, size, 0)));
}

// Scaled down from a larger image where the icon has one, not up from a smaller. The common
// controls are loaded already: the window's own controls are theirs.
IconHandle Win32Platform::program_icon(int size) const
{
    using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const Module controls = load_system_library(L"comctl32.dll");
    static const auto scale_down = module_function<LoadIconWithScaleDownFn>(controls, "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scale_down && SUCCEEDED(scale_down(instance_, MAKEINTRESOURCEW(VINTREL_ICON_ID), size, size, &icon)))
        return IconHandle(icon);
    return IconHandle(
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(VINTREL_ICON_ID), IMAGE_ICON, size, size, 0)));
}

int Win32Platform::take_show_command()
{
    if (shown_)
        return SW_SHOW;
    shown_ = true;
    return show_command_;
}

} // namespace platform::win32
