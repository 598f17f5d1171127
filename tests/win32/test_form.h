#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/check_box.h"
#include "platform/file_list_box.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/scroll_bar.h"
#include "platform/timer.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/form_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace test {

// The real platform, except that failure reports are written down instead of shown.
class Platform : public platform::win32::Win32Platform {
public:
    Platform() : Win32Platform(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE) {}
    std::vector<std::string> failures;
    void report_failure(const std::string& what) override { failures.push_back(what); }
};

constexpr platform::Color banner_green = 0x00C000;
constexpr platform::Color top_red = 0x0000FF;

// A form with one of every kind of control, laid out as the main window is.
class Form : public platform::Form {
public:
    explicit Form(platform::Platform& p, platform::FormLayout layout = {.name = "frmTest", .caption = "Test",
                                                                       .client_width = 2295, .client_height = 4800,
                                                                       .min_button = true, .has_icon = true})
        : platform::Form(p, std::move(layout)),
          check(*this, {.name = "check", .bounds = {120, 3840, 2055, 375}, .tab_index = 5, .caption = "Extract from BIF.",
                        .value = platform::CheckValue::ticked}),
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
        [this](auto&... all) { (add(all), ...); }(check, timer, list, scroll, top, boxed, banner, strip);
        banner.on_click = [this] { ++banner_clicks; };
        strip.on_click = [this] { ++strip_clicks; };
        strip.on_mouse_move = [this](const platform::MouseEvent&) { ++strip_moves; };
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

    int banner_clicks = 0, strip_clicks = 0, strip_moves = 0, ticks = 0, activations = 0;
    std::function<void()> on_tick;

    HWND window() const { return peer() ? static_cast<platform::win32::FormWindow*>(peer())->handle() : nullptr; }
    HWND child(const wchar_t* window_class) const { return FindWindowExW(window(), nullptr, window_class, nullptr); }
    platform::win32::Dpi dpi() const { return static_cast<platform::win32::FormWindow*>(peer())->dpi(); }

protected:
    void Form_Activate() override { ++activations; }
};

// A fresh folder under the temporary folder, removed with all it holds at the end of the test.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                platform::win32::widen(name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                       std::to_string(GetTickCount64())))
    {
        std::filesystem::create_directory(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path() const { return platform::win32::narrow(path_.wstring()); }
    std::string file(const std::string& name) const { return path() + "\\" + name; }
    void touch(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        CloseHandle(CreateFileW(platform::win32::widen(file(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes, nullptr));
    }

private:
    std::filesystem::path path_;
};

// Handles what is pending, then takes out the quit request that may be left; its code, or -1.
inline int take_quit()
{
    platform::win32::pump_events();
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(message.wParam) : -1;
}

// Handles what is pending for a while, as the program's loop would.
inline void pump_for(int milliseconds)
{
    for (const ULONGLONG end = GetTickCount64() + milliseconds; GetTickCount64() < end; Sleep(5))
        platform::win32::pump_events();
}

// The main form shown; unloaded at the end, with the quit request that leaves.
struct Shown {
    Platform platform;
    Form form{platform};
    Shown() { form.show(); }
    ~Shown()
    {
        form.unload();
        take_quit();
    }
};

// A 32-bit bitmap to draw into and read back.
class Surface {
public:
    Surface(int width, int height) : bitmap_(CreateBitmap(width, height, 1, 32, nullptr)), chosen_(dc(), bitmap_.get())
    {
    }
    HDC dc() const { return dc_.get(); }
    COLORREF at(int x, int y) const { return GetPixel(dc(), x, y); }
    // How many pixels of the area pass the test, or are of the colour.
    int count(const RECT& area, const std::function<bool(COLORREF)>& test) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += test(at(x, y)) ? 1 : 0;
        return n;
    }
    int count(const RECT& area, COLORREF color) const
    {
        return count(area, [color](COLORREF c) { return c == color; });
    }

private:
    platform::win32::MemoryDc dc_{CreateCompatibleDC(nullptr)};
    platform::win32::GdiBitmap bitmap_;
    platform::win32::Selection chosen_;
};

} // namespace test
