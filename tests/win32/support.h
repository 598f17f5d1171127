#pragma once
// What the Win32 tests and the end-to-end drivers share: a throw-away folder, waiting for an
// event, the recording child's record, and pixels read back from a bitmap or the screen.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "platform/win32/event_pump.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace test {

using platform::win32::narrow;
using platform::win32::widen;

// A fresh folder under the temporary folder, removed with all it holds at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / widen(name + "-" + std::to_string(GetCurrentProcessId())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::error_code ignored; std::filesystem::remove_all(path_, ignored); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path() const { return narrow(path_.wstring()); }
    std::string file(const std::string& name) const { return path() + "\\" + name; }
    void write(const std::string& name, const std::string& bytes = "BIFFV1  ", DWORD attributes = 0) const
    {
        std::filesystem::create_directories(std::filesystem::path(widen(file(name))).parent_path());
        const platform::win32::UniqueHandle f(CreateFileW(widen(file(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                                          CREATE_ALWAYS, attributes | FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
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
    wait_until([&] {
        std::ifstream file(widen(path).c_str(), std::ios::binary);
        for (std::string line; std::getline(file, line);)
            record[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        return !record.empty();
    }, 20000);
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

// A 32-bit bitmap to draw into, or a copy of part of the screen, to read back.
class Surface {
public:
    Surface(int width, int height) : bitmap_(CreateBitmap(width, height, 1, 32, nullptr)), chosen_(dc(), bitmap_.get()) {}
    explicit Surface(const RECT& screen) : Surface(screen.right - screen.left, screen.bottom - screen.top)
    {
        const platform::win32::WindowDc from(nullptr);
        BitBlt(dc(), 0, 0, screen.right - screen.left, screen.bottom - screen.top, from.get(), screen.left, screen.top,
               SRCCOPY);
    }
    HDC dc() const { return dc_.get(); }
    COLORREF at(int x, int y) const { return GetPixel(dc(), x, y); }
    // How many pixels of the area pass the test, and the box around them.
    int count(const RECT& area, const std::function<bool(COLORREF)>& test, RECT* box = nullptr) const
    {
        int n = 0;
        RECT found{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (test(at(x, y)) && ++n)
                    found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                             std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1)};
        if (box)
            *box = found;
        return n;
    }

private:
    platform::win32::MemoryDc dc_{CreateCompatibleDC(nullptr)};
    platform::win32::GdiBitmap bitmap_;
    platform::win32::Selection chosen_;
};

// Colours within a tolerance of one, as smoothed text gives them.
inline std::function<bool(COLORREF)> like(COLORREF color, int tolerance = 40)
{
    return [=](COLORREF c) {
        return std::abs(GetRValue(c) - GetRValue(color)) + std::abs(GetGValue(c) - GetGValue(color)) +
                   std::abs(GetBValue(c) - GetBValue(color)) <= tolerance;
    };
}

// Part of a window's client area as the screen shows it.
inline Surface capture(HWND window, RECT area)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return Surface(area);
}

} // namespace test
