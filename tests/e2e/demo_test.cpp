// The whole way through: Vintrel in the demo game, with the real biftool.exe beside it.
#include <doctest.h>

#include "support/files.h"
#include "support/game.h"
#include "support/options.h"
#include "support/process.h"
#include "support/ui.h"
#include "support/vintrel.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

// The game folder the generator writes: chitin.key above data\ and its archives.
std::string game_root(const Game& game) { return game.data().substr(0, game.data().rfind('\\')); }

void make_demo_game(const Game& game)
{
    const Process generator(windows_path(option("demo")), "\"" + game_root(game) + "\"", game_root(game));
    REQUIRE(wait_until([&] { return !generator.running(); }, 30000));
    DWORD exit_code = 1;
    GetExitCodeProcess(generator.handle(), &exit_code);
    REQUIRE(exit_code == 0);
}

} // namespace

TEST_CASE("a double-click in the demo game extracts the archive's resources beside it")
{
    Game game("vintrel e2e demo");
    make_demo_game(game);
    copy_file(windows_path(option("biftool")), game.tool());
    // The tool would otherwise wait for a key in its console window before it ends.
    SetEnvironmentVariableW(L"BIFTOOL_NO_WAIT", L"1");

    Vintrel app(game);
    const std::vector<std::string> archives = list_items(app.list());
    REQUIRE(archives == std::vector<std::string>{"DEMOMAIN.bif", "DEMOPACK.bif", "DEMOTILE.bif", "DEMOZLIB.bif"});

    bring_to_front(app.main());
    double_click(list_item_point(app.list(), 1));
    HWND done = app.wait_message_box("Done", 10000);
    REQUIRE(done != nullptr);
    press_ok(done);

    // The compressed archive's resources, under the names its index gives them.
    const std::string out = join(game.data(), "DEMOPACK");
    for (const char* name : {"DEMOMAP.BMP", "GREETING.LUA", "SONGS.2DA"}) {
        CAPTURE(name);
        CHECK(wait_until([&] { return exists(join(out, name)); }, 20000));
    }
    CHECK(read_file(join(out, "SONGS.2DA")).rfind("2DA V1.0", 0) == 0);
}
