// Times Vintrel from CreateProcess until its window shows with the list filled, several runs,
// and prints each run and the median. Usage:
//   bench_startup --vintrel=PATH\Vintrel.exe --count=N [--runs=R]
#include "support/files.h"
#include "support/options.h"
#include "support/process.h"
#include "support/text.h"
#include "support/ui.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

using namespace e2e;

namespace {

double now_ms()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double one_start(const std::string& vintrel, const std::string& folder, long count)
{
    double start = now_ms();
    Process process(vintrel, "", folder);
    HWND list = nullptr;
    for (;;) {
        if (!process.running()) throw std::runtime_error("Vintrel ended during start-up");
        if (now_ms() - start > 120000) throw std::runtime_error("Vintrel did not show its list in two minutes");
        if (!list) {
            HWND main = find_top_window(process.id(), "Vintrel");
            if (main) list = find_child(main, "ListBox");
        }
        if (list && SendMessageW(list, LB_GETCOUNT, 0, 0) == count) return now_ms() - start;
        Sleep(2);
    }
}

} // namespace

int main()
{
    take_command_line_options();

    try {
        std::string vintrel = windows_path(option("vintrel"));
        std::string folder = vintrel.substr(0, vintrel.find_last_of('\\'));
        long count = std::stol(option("count"));
        int runs = has_option("runs") ? std::stoi(option("runs")) : 7;

        one_start(vintrel, folder, count); // warms Wine's and the file system's caches
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            times.push_back(one_start(vintrel, folder, count));
            std::printf("run %d: %.1f ms\n", i + 1, times.back());
        }
        std::sort(times.begin(), times.end());
        std::printf("median_ms %.1f\n", times[times.size() / 2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
}
