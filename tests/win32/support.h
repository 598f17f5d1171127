#pragma once
// What the Win32 tests and the end-to-end driver share: a throw-away folder, waiting for an
// event, the recording child's record, pixels read back from the screen, and the program's own
// windows on the real platform.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "info_window/frm_info.h"
#include "main_window/frm_main.h"

#include "platform/win32/window/event_pump.h"
#include "platform/win32/base.h"
#include "platform/win32/win32_platform.h"

namespace test {

using platform::win32::narrow;
using platform::win32::widen;

// A fresh folder under the temporary folder, removed with all it holds at the end.
class TempFolder {
public:
    // Wine reuses process ids, and a program of an earlier run may still hold its old folder: the
    // name takes the time and a count too.
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                widen(name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) +
                      "-" + std::to_string(++made_)))
    {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path() const { return narrow(path_.wstring()); }
    std::string file(const std::string& name) const { return path() + "\\" + name; }
    void write(const std::string& name, const std::string& bytes = "BIFFV1  ", DWORD attributes = 0) const
    {
        std::filesystem::create_directories(std::filesystem::path(widen(file(name))).parent_path());
        std::ofstream(widen(file(name)).c_str(), std::ios::binary) << bytes;
        SetFileAttributesW(widen(file(name)).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    }

private:
    static inline unsigned made_ = 0;
    std::filesystem::path path_;
};

// Handles this thread's events until `done` holds (true) or the time is up (false).
inline bool wait_until(const std::function<bool()>& done, int milliseconds = 10000)
{
    for (const ULONGLONG end = GetTickCount64() + milliseconds;; Sleep(10)) {
        platform::win32::pump_events();
        if (done())
            return true;
        if (GetTickCount64() > end)
            return false;
    }
}

// The key=value lines the recording child wrote, once they are there.
inline std::map<std::string, std::string> wait_for_record(const std::string& path)
{
    std::map<std::string, std::string> record;
    wait_until(
        [&] {
            std::ifstream file(widen(path).c_str(), std::ios::binary);
            for (std::string line; std::getline(file, line);)
                record[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
            return !record.empty();
        },
        20000);
    return record;
}

inline int screen_dpi()
{
    const platform::win32::WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// Twips to pixels at the screen's resolution, reckoned here rather than by the code under test.
inline int px(float twips) { return static_cast<int>(std::lround(twips * screen_dpi() / 1440.0)); }
inline RECT px(float left, float top, float width, float height)
{
    return {px(left), px(top), px(left + width), px(top + height)};
}

// Part of a window's client area as the screen shows it.
class Capture {
public:
    Capture(HWND window, RECT area)
        : bitmap_(CreateBitmap(area.right - area.left, area.bottom - area.top, 1, 32, nullptr))
    {
        origin_ = {area.left, area.top};
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
        SelectObject(dc_.get(), bitmap_.get());
        const platform::win32::WindowDc screen(nullptr);
        BitBlt(dc_.get(), 0, 0, area.right - area.left, area.bottom - area.top, screen.get(), area.left, area.top,
               SRCCOPY);
    }
    // In the window's client pixels.
    COLORREF at(int x, int y) const { return GetPixel(dc_.get(), x - origin_.x, y - origin_.y); }
    // How many pixels of the area are near the colour, and the box around them.
    int count(const RECT& area, COLORREF color, RECT* box = nullptr, int tolerance = 40) const
    {
        int n = 0;
        RECT found{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = at(x, y);
                if (std::abs(GetRValue(c) - GetRValue(color)) + std::abs(GetGValue(c) - GetGValue(color)) +
                            std::abs(GetBValue(c) - GetBValue(color)) <=
                        tolerance &&
                    ++n)
                    found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                             std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1)};
            }
        if (box)
            *box = found;
        return n;
    }

private:
    platform::win32::GdiBitmap bitmap_;
    platform::win32::MemoryDc dc_{CreateCompatibleDC(nullptr)}; // goes first, letting go of the bitmap
    POINT origin_{};
};

// The real platform, recording failures and program starts instead of showing and making them,
// with two archives in the program's folder.
class Platform : public platform::win32::Win32Platform {
public:
    Platform() : Win32Platform(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE) {}
    std::vector<std::string> failures, starts;
    std::vector<platform::FileEntry> read_folder(const std::string&) override { return {{"a.bif"}, {"b.bif"}}; }
    void report_failure(const std::string& what) override { failures.push_back(what); }
    void start_process(const std::string& line, platform::ShowMode, const std::string&) override
    {
        starts.push_back(line);
    }
};

// A press of the left button at a point of a window and its release at another (client twips).
inline void click(HWND window, float x, float y, float up_x, float up_y)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(x), px(y)));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(px(up_x), px(up_y)));
}

// The main window shown and activated, as the user's click would; unloaded at the end, with the
// quit request that leaves.
struct Shown {
    Platform platform;
    frmMain main{platform};
    HWND window = (main.show(), SetActiveWindow(platform.window_of(main)), platform.window_of(main));
    ~Shown()
    {
        main.unload();
        platform::win32::pump_events();
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
};

} // namespace test
