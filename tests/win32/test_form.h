#pragma once
#include <string>
#include <vector>

#include "platform/check_box.h"
#include "platform/file_list_box.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/scroll_bar.h"
#include "platform/timer.h"
#include "platform/win32/form_window.h"
#include "platform/win32/win32_platform.h"

namespace test {

// The real platform, except that failure reports and message boxes are written down instead of shown.
class Platform : public platform::win32::Win32Platform {
public:
    Platform() : Win32Platform(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE) {}
    std::vector<std::string> failures;
    std::vector<std::string> boxes;
    void report_failure(const std::string& what) override { failures.push_back(what); }
    void message_box(const std::string& text, const std::string&) override { boxes.push_back(text); }
};

inline platform::FormLayout main_layout()
{
    platform::FormLayout l;
    l.name = "frmTest";
    l.caption = "Test";
    l.client_width = 2295;
    l.client_height = 4800;
    l.min_button = true;
    l.has_icon = true;
    return l;
}

inline platform::FormLayout tool_layout()
{
    platform::FormLayout l = main_layout();
    l.name = "frmTool";
    l.client_width = 4575;
    l.client_height = 2000;
    l.border = platform::BorderStyle::fixed_tool_window;
    l.min_button = false;
    l.start = platform::StartPosition::center_owner;
    l.has_icon = false;
    l.in_taskbar = false;
    return l;
}

constexpr platform::Color banner_green = 0x00C000;
constexpr platform::Color top_red = 0x0000FF;

// A form with one of every kind of control, laid out as the main window is.
class Form : public platform::Form {
public:
    explicit Form(platform::Platform& p, platform::FormLayout layout = main_layout())
        : platform::Form(p, std::move(layout)),
          check(*this, {.name = "check", .bounds = {120, 3840, 2055, 375}, .tab_index = 5, .caption = "Extract from BIF.",
                        .value = platform::CheckValue::ticked, .fore = 0xE0E0E0, .back = platform::colors::black,
                        .font = {"MS Sans Serif", 9.75f, true, false}}),
          timer(*this, {.name = "timer", .interval = 0, .enabled = true}),
          list(*this, {.name = "list", .bounds = {120, 360, 2055, 3405}, .tab_index = 0, .pattern = "*.bif"}),
          scroll(*this, {.name = "scroll", .bounds = {480, 3120, 1215, 255}, .tab_index = 2, .min = 0, .max = 100}),
          top(*this, {.name = "top", .bounds = {0, 0, 600, 300}, .back = top_red}),
          boxed(*this, {.name = "boxed", .bounds = {300, 0, 900, 300}, .border = platform::Border::single}),
          banner(*this, {.name = "banner", .bounds = {-510, 4320, 2000, 300}, .caption = "CLICK HERE",
                         .fore = banner_green, .back_style = platform::BackStyle::transparent,
                         .alignment = platform::Alignment::center, .font = {"MS Sans Serif", 12, true, false}}),
          strip(*this, {.name = "strip", .bounds = {0, 4200, 2295, 600}, .back_style = platform::BackStyle::transparent,
                        .pointer = platform::Pointer::program})
    {
        add(check);
        add(timer);
        add(list);
        add(scroll);
        add(top);
        add(boxed);
        add(banner);
        add(strip);
        banner.on_click = [this] { ++banner_clicks; };
        strip.on_click = [this] { ++strip_clicks; };
        strip.on_mouse_move = [this](const platform::MouseEvent& e) { moves.push_back(e); };
        timer.on_tick = [this] {
            ++ticks;
            if (on_tick)
                on_tick();
        };
    }

    platform::CheckBox check;
    platform::Timer timer;
    platform::FileListBox list;
    platform::ScrollBar scroll;
    platform::Label top, boxed, banner, strip;

    int banner_clicks = 0, strip_clicks = 0, ticks = 0, activations = 0;
    std::vector<platform::MouseEvent> moves;
    std::function<void()> on_tick;

    HWND window() const
    {
        auto* peer = static_cast<platform::win32::FormWindow*>(this->peer());
        return peer ? peer->handle() : nullptr;
    }
    HWND child(const wchar_t* window_class) const { return FindWindowExW(window(), nullptr, window_class, nullptr); }

protected:
    void Form_Activate() override { ++activations; }
};

// Handles what is pending for a while, as the program's loop would.
inline void pump_for(int milliseconds)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

// Takes a pending quit request out, if there is one; its code, or -1.
inline int take_quit()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
        DispatchMessageW(&message);
    }
    return -1;
}

// A 32-bit top-down bitmap to draw into and read back.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Surface()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_; }
    // As a COLORREF (0x00BBGGRR).
    COLORREF at(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int count(const RECT& area, COLORREF color) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += at(x, y) == color ? 1 : 0;
        return n;
    }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

} // namespace test
