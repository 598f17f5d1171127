// The green banner along the bottom moves right to left and comes back in at the right edge.
#include <doctest.h>

#include "support/game.h"
#include "support/screen.h"
#include "support/ui.h"
#include "support/vintrel.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

bool green(Rgb p)
{
    return p.g > 90 && p.g > p.r + 60 && p.g > p.b + 60;
}

struct Sample {
    DWORD time;
    int leftmost;
};

} // namespace

TEST_CASE("the banner scrolls leftwards and wraps round to the right")
{
    Game game("vintrel-e2e-banner");
    game.add_file("a.bif");
    Vintrel app(game);
    bring_to_front(app.main());

    SIZE size = client_size(app.main());
    // The strip is the bottom eighth of the client area (px 280..320 of 320 at 96 dpi).
    RECT strip{0, size.cy * 7 / 8, size.cx, size.cy};
    // It may start beyond the right edge and take a moment to come into view.
    Capture first;
    REQUIRE(wait_until([&] { return (first = capture_client(app.main(), strip)).count(green) > 0; }, 8000));
    Sleep(200);
    CHECK_FALSE(capture_client(app.main(), strip) == first);

    // A full pass over the strip takes a few seconds at 25 twips every 25 ms.
    std::vector<Sample> samples;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 12000) {
        samples.push_back({GetTickCount(), capture_client(app.main(), strip).leftmost(green)});
        Sleep(40);
    }

    // Compares each sighting with the one before, across samples where the banner is out of view.
    int leftward = 0, wraps = 0;
    double pixels = 0, ms = 0;
    const Sample* last = nullptr;
    for (const Sample& now : samples) {
        if (now.leftmost < 0) continue;
        if (last) {
            // Near the left edge the clipped banner stands still; only the free run counts.
            if (now.leftmost < last->leftmost && now.leftmost > 0) {
                ++leftward;
                pixels += last->leftmost - now.leftmost;
                ms += now.time - last->time;
            }
            if (now.leftmost > last->leftmost + size.cx / 4) ++wraps;
        }
        last = &now;
    }
    std::string series;
    for (const Sample& s : samples) series += std::to_string(s.leftmost) + " ";
    INFO("leftmost green x: " << series);
    INFO("samples: " << samples.size() << ", leftward steps: " << leftward << ", wraps: " << wraps);
    CHECK(leftward > 10);
    CHECK(wraps >= 1);
    // 1000 twips a second is 67 px/s at 96 dpi; Wine's timers may lag, but not by much.
    double speed = ms > 0 ? pixels * 1000.0 / ms : 0;
    INFO("speed while moving: " << speed << " px/s");
    CHECK(speed > 30);
    CHECK(speed < 140);
}
