// Times Vintrel from CreateProcess until its window shows with the list filled, several runs,
// and prints each run and the median. With a baseline (a Vintrel in a folder with no archives) the
// two take turns, run for run, so that whatever else slows the machine meanwhile slows both alike.
// Usage:
//   bench_startup --vintrel=C:\path\Vintrel.exe --count=N [--baseline=C:\other\Vintrel.exe] [--runs=R]
#include <windows.h>

#include "common/driver.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double now_ms()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double one_start(const std::wstring& vintrel, LRESULT count)
{
    const std::wstring folder = vintrel.substr(0, vintrel.find_last_of(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + vintrel + L"\"";
    const double start = now_ms();
    if (!CreateProcessW(vintrel.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        throw std::runtime_error("cannot start Vintrel");
    double took = -1;
    HWND list = nullptr;
    while (took < 0) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            break;
        if (now_ms() - start > 120000)
            break;
        if (!list) {
            if (const HWND main = bench::top_window(process.dwProcessId, L"Vintrel"))
                list = FindWindowExW(main, nullptr, L"ListBox", nullptr);
        }
        if (list && SendMessageW(list, LB_GETCOUNT, 0, 0) == count)
            took = now_ms() - start;
        else
            Sleep(2);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (took < 0)
        throw std::runtime_error("Vintrel did not show its list");
    return took;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        const std::wstring vintrel = bench::option(argc, argv, L"vintrel", nullptr);
        const std::wstring baseline = bench::option(argc, argv, L"baseline", L"");
        const LRESULT count = std::wcstol(bench::option(argc, argv, L"count", nullptr).c_str(), nullptr, 10);
        const int runs =
            std::max(1, static_cast<int>(std::wcstol(bench::option(argc, argv, L"runs", L"7").c_str(), nullptr, 10)));

        // The first start of each warms Wine's and the file system's caches.
        if (!baseline.empty())
            one_start(baseline, 0);
        one_start(vintrel, count);
        std::vector<double> base_times, times;
        for (int i = 0; i < runs; ++i) {
            std::printf("run %d:", i + 1);
            if (!baseline.empty()) {
                base_times.push_back(one_start(baseline, 0));
                std::printf(" baseline %.1f ms,", base_times.back());
            }
            times.push_back(one_start(vintrel, count));
            std::printf(" %.1f ms\n", times.back());
        }
        if (!baseline.empty())
            std::printf("median_ms_baseline %.1f\n", median(base_times));
        std::printf("median_ms %.1f\n", median(times));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
}
