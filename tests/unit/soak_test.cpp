// 100,000 banner ticks against the fake platform: the window logic must not grow as it runs.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "helpers.h"

namespace {
std::atomic<long> live_allocations{0};
}

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1)) {
        ++live_allocations;
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    if (p) {
        --live_allocations;
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

TEST_CASE("a long run of ticks leaves the allocations where they were")
{
    fake::Platform p = game_folder({"a.bif", "b.bif"});
    frmMain form(p);
    form.show();
    form.activated();

    const auto run = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            form.Timer1.tick();
            if (i % 1000 == 0)
                p.windows.clear(); // the fake's own records, not the program's
        }
        p.windows.clear();
    };
    run(1000);
    const long start = live_allocations.load();
    run(100000);
    const long end = live_allocations.load();
    std::printf("live allocations after 1,000 ticks: %ld, after 101,000: %ld\n", start, end);
    CHECK(end == start);
    CHECK(p.failures.empty());
}
