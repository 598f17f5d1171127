// Runs Vintrel for a long time with its banner going and samples what it holds: GDI and USER
// objects, handles and memory, at the start, every interval and at the end. Usage:
//   bench_soak --vintrel=PATH\Vintrel.exe [--seconds=260] [--interval=20]
#include "support/files.h"
#include "support/options.h"
#include "support/process.h"
#include "support/screen.h"
#include "support/text.h"
#include "support/ui.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

using namespace e2e;

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

int main()
{
    take_command_line_options();

    try {
        std::string vintrel = windows_path(option("vintrel"));
        std::string folder = vintrel.substr(0, vintrel.find_last_of('\\'));
        DWORD seconds = has_option("seconds") ? std::stoul(option("seconds")) : 260;
        DWORD interval = has_option("interval") ? std::stoul(option("interval")) : 20;

        Process process(vintrel, "", folder);
        HWND main = nullptr;
        if (!wait_until([&] { return (main = find_top_window(process.id(), "Vintrel")) != nullptr; }, 30000))
            throw std::runtime_error("Vintrel's window did not show");
        bring_to_front(main);
        Sleep(2000);

        SIZE size = client_size(main);
        RECT strip{0, size.cy * 7 / 8, size.cx, size.cy};
        Capture last = capture_client(main, strip);
        Sleep(500);
        std::vector<Sample> samples;
        DWORD start = GetTickCount();
        for (;;) {
            DWORD elapsed = (GetTickCount() - start) / 1000;
            if (!process.running())
                throw std::runtime_error("Vintrel ended after " + std::to_string(elapsed) + " s");
            Sample s = take(process.handle(), elapsed);
            Capture now = capture_client(main, strip);
            s.banner_moved = !(now == last);
            last = now;
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
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_soak: %s\n", e.what());
        return 1;
    }
}
