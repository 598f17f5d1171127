// The main window's client area is 2295 x 4800 twips at whatever resolution the screen has.
#include <doctest.h>

#include "support/game.h"
#include "support/options.h"
#include "support/ui.h"
#include "support/vintrel.h"

#include <windows.h>

#include <string>

using namespace e2e;

TEST_CASE("the main window's client area follows the screen's resolution")
{
    // --dpi=N --client=WxH: what the prefix was set to and the size expected of it.
    int dpi = std::stoi(option("dpi"));
    std::string expected = option("client");
    HDC screen = GetDC(nullptr);
    int actual_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    REQUIRE(actual_dpi == dpi);

    Game game("vintrel-e2e-dpi");
    game.add_file("a.bif");
    Vintrel app(game);
    SIZE size = client_size(app.main());
    CHECK(std::to_string(size.cx) + "x" + std::to_string(size.cy) == expected);
}
