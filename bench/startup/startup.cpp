// Times Vintrel from CreateProcess until its window shows with the list filled, several runs,
// and prints each run and the median. Usage:
//   bench_startup --vintrel=C:\path\Vintrel.exe --count=N [--runs=R]
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

double one_start(const std::wstring& vintrel, const std::wstring& folder, LRESULT count)
{
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        const std::wstring vintrel = bench::option(argc, argv, L"vintrel", nullptr);
        const std::wstring folder = vintrel.substr(0, vintrel.find_last_of(L'\\'));
        const LRESULT count = std::wcstol(bench::option(argc, argv, L"count", nullptr).c_str(), nullptr, 10);
        const int runs =
            std::max(1, static_cast<int>(std::wcstol(bench::option(argc, argv, L"runs", L"7").c_str(), nullptr, 10)));

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
