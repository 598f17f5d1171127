// Runs Vintrel for a long time with its banner going and samples what it holds: GDI and USER
// objects, handles and memory, at the start, every interval and at the end. Usage:
//   bench_soak --vintrel=C:\path\Vintrel.exe [--seconds=260] [--interval=20]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/driver.h"

namespace {

struct Sample {
    DWORD seconds = 0;
    DWORD gdi = 0, user = 0, handles = 0;
    SIZE_T private_bytes = 0, working_set = 0;
    bool banner_moved = false;
};

Sample take(HANDLE process, DWORD seconds)
{
    Sample s;
    s.seconds = seconds;
    s.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    s.user = GetGuiResources(process, GR_USEROBJECTS);
    GetProcessHandleCount(process, &s.handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        s.private_bytes = memory.PrivateUsage;
        s.working_set = memory.WorkingSetSize;
    }
    return s;
}

// The pixels of the bottom eighth of the window's client area, where the banner runs.
std::vector<std::uint32_t> banner_strip(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, top = client.bottom * 7 / 8, height = client.bottom - top;
    if (width <= 0 || height <= 0)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    const HDC screen = GetDC(window);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, top, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

void print(const Sample& s)
{
    std::printf("%6lu s  gdi %5lu  user %5lu  handles %5lu  private %8zu KB  working set %8zu KB  banner %s\n",
                s.seconds, s.gdi, s.user, s.handles, s.private_bytes / 1024, s.working_set / 1024,
                s.banner_moved ? "moving" : "STILL");
    std::fflush(stdout);
}

// Flat: the end is no more than the start plus a small allowance for caches settling.
void verdict(const char* what, double start, double end, double allowance)
{
    if (start == 0 && end == 0)
        std::printf("%-12s reads 0 at start and end: not measured here\n", what);
    else
        std::printf("%-12s start %.0f, end %.0f: %s\n", what, start, end,
                    end <= start + allowance ? "flat" : "GROWING");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    PROCESS_INFORMATION process{};
    int status = 0;
    try {
        const std::wstring vintrel = bench::option(argc, argv, L"vintrel", nullptr);
        const std::wstring folder = vintrel.substr(0, vintrel.find_last_of(L'\\'));
        const DWORD seconds = std::wcstoul(bench::option(argc, argv, L"seconds", L"260").c_str(), nullptr, 10);
        const DWORD interval =
            std::max(1ul, std::wcstoul(bench::option(argc, argv, L"interval", L"20").c_str(), nullptr, 10));

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + vintrel + L"\"";
        if (!CreateProcessW(vintrel.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &process))
            throw std::runtime_error("cannot start Vintrel");
        HWND main = nullptr;
        for (int waited = 0; !(main = bench::top_window(process.dwProcessId, L"Vintrel")); waited += 100) {
            if (waited > 30000)
                throw std::runtime_error("Vintrel's window did not show");
            Sleep(100);
        }
        SetForegroundWindow(main);
        Sleep(2000);

        std::vector<std::uint32_t> last = banner_strip(main);
        Sleep(500);
        std::vector<Sample> samples;
        const DWORD start = GetTickCount();
        for (;;) {
            const DWORD elapsed = (GetTickCount() - start) / 1000;
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
                throw std::runtime_error("Vintrel ended after " + std::to_string(elapsed) + " s");
            Sample s = take(process.hProcess, elapsed);
            std::vector<std::uint32_t> now = banner_strip(main);
            s.banner_moved = now != last;
            last = std::move(now);
            samples.push_back(s);
            print(s);
            if (elapsed >= seconds)
                break;
            Sleep(std::min<DWORD>(interval, seconds - elapsed) * 1000);
        }

        const Sample& a = samples.front();
        const Sample& b = samples.back();
        std::printf("\n%lu s: %lu banner ticks at the nominal 25 ms\n", b.seconds, b.seconds * 40);
        verdict("GDI objects", a.gdi, b.gdi, 2);
        verdict("USER objects", a.user, b.user, 2);
        verdict("handles", a.handles, b.handles, 2);
        verdict("private KB", a.private_bytes / 1024.0, b.private_bytes / 1024.0, 256);
        verdict("working KB", a.working_set / 1024.0, b.working_set / 1024.0, 512);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_soak: %s\n", e.what());
        status = 1;
    }
    if (process.hProcess) {
        TerminateProcess(process.hProcess, 0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return status;
}
