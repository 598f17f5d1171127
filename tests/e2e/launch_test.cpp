// Vintrel lists a game folder's BIF files and starts biftool.exe on the one double-clicked.
#include <doctest.h>

#include "support/game.h"
#include "support/record.h"
#include "support/screen.h"
#include "support/ui.h"
#include "support/vintrel.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

std::vector<Start> wait_for_starts(const Game& game, size_t count)
{
    std::vector<Start> starts;
    wait_until([&] { return (starts = read_record(game.record())).size() >= count; }, 10000);
    return starts;
}

void double_click_item(const Vintrel& app, int index)
{
    bring_to_front(app.main());
    double_click(list_item_point(app.list(), index));
}

bool ticked(HWND check_box)
{
    return SendMessageW(check_box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Hidden, or lying wholly behind the list box.
bool out_of_sight(HWND window, HWND list_box)
{
    if (!IsWindowVisible(window)) return true;
    RECT w{}, l{}, both{};
    GetWindowRect(window, &w);
    GetWindowRect(list_box, &l);
    UnionRect(&both, &w, &l);
    if (!EqualRect(&both, &l)) return false;
    for (HWND below = GetWindow(list_box, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
        if (below == window) return true;
    return false;
}

void click_middle(HWND window)
{
    RECT r = screen_client_rect(window);
    click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

} // namespace

TEST_CASE("the list holds the folder's visible .bif files, sorted ignoring case")
{
    Game game("vintrel-e2e-list");
    for (const char* name : {"b.bif", "X.BIF", "A.bif", "c.Bif", "x.bifold", "notes.txt", "bif", "hidden.bif", "system.bif"})
        game.add_file(name);
    make_folder(join(game.data(), "folder.bif"));
    REQUIRE(set_attributes(join(game.data(), "hidden.bif"), FILE_ATTRIBUTE_HIDDEN));
    REQUIRE(set_attributes(join(game.data(), "system.bif"), FILE_ATTRIBUTE_SYSTEM));

    Vintrel app(game);
    CHECK(list_items(app.list()) == std::vector<std::string>{"A.bif", "b.bif", "c.Bif", "X.BIF"});
    CHECK(ticked(app.check_box()));

    HWND scroll_bar = find_child(app.main(), "ScrollBar");
    REQUIRE(scroll_bar != nullptr);
    CHECK(out_of_sight(scroll_bar, app.list()));

    // The count is drawn by the window itself, in red along the top.
    SIZE size = client_size(app.main());
    Capture top = capture_client(app.main(), {0, 0, size.cx, size.cy / 8});
    CHECK(top.count([](Rgb p) { return p.r > 150 && p.g < 90 && p.b < 90; }) > 5);
}

TEST_CASE("a double-click extracts while the box is ticked and only lists once it is cleared")
{
    Game game("vintrel-e2e-start");
    game.add_file("alpha.bif");
    game.add_file("beta.bif");
    Vintrel app(game);
    REQUIRE(list_items(app.list()) == std::vector<std::string>{"alpha.bif", "beta.bif"});

    double_click_item(app, 1);
    HWND done = app.wait_message_box("Done", 10000);
    REQUIRE(done != nullptr);
    CHECK(message_text(done) == "Files were extracted!");
    CHECK_FALSE(IsWindowEnabled(app.main()));
    press_ok(done);
    CHECK_FALSE(IsWindow(done));

    std::vector<Start> starts = wait_for_starts(game, 1);
    REQUIRE(starts.size() == 1);
    CHECK(starts[0].command == game.data() + "\\biftool.exe -extr beta.bif");
    CHECK(starts[0].show == "4");
    CHECK(starts[0].folder == game.data());

    bring_to_front(app.main());
    click_middle(app.check_box());
    REQUIRE_FALSE(ticked(app.check_box()));

    double_click_item(app, 0);
    starts = wait_for_starts(game, 2);
    REQUIRE(starts.size() == 2);
    CHECK(starts[1].command == game.data() + "\\biftool.exe alpha.bif");
    CHECK(starts[1].show == "1");
    CHECK(starts[1].folder == game.data());
    Sleep(1000);
    CHECK(app.any_message_box() == nullptr);
}

TEST_CASE("without biftool.exe a double-click says what is missing and starts nothing")
{
    Game game("vintrel-e2e-missing");
    game.add_file("a.bif");
    remove_file(game.tool());
    Vintrel app(game);

    double_click_item(app, 0);
    HWND missing = app.wait_message_box("Missing File", 10000);
    REQUIRE(missing != nullptr);
    CHECK(message_text(missing) ==
          "You are missing the file \"biftool.exe or ..\\chitin.key\".\r\n"
          "Please ensure biftool.exe is in the same\r\n"
          "folder as the BIF files and this program,\r\n"
          "and that chitin.key is in the folder one level up.");
    press_ok(missing);
    CHECK_FALSE(IsWindow(missing));
    Sleep(500);
    CHECK(app.any_message_box() == nullptr);
    CHECK_FALSE(exists(game.record()));
}

TEST_CASE("blanks and non-ASCII letters in folder and file names reach biftool intact")
{
    Game game("vintrel e2e Zaubér");
    for (const char* name : {"Zaubér.bif", "with blank.bif", "a.bif"}) game.add_file(name);
    Vintrel app(game);
    REQUIRE(list_items(app.list()) == std::vector<std::string>{"a.bif", "with blank.bif", "Zaubér.bif"});
    std::string tool = "\"" + game.data() + "\\biftool.exe\"";

    double_click_item(app, 1);
    HWND done = app.wait_message_box("Done", 10000);
    REQUIRE(done != nullptr);
    press_ok(done);
    std::vector<Start> starts = wait_for_starts(game, 1);
    REQUIRE(starts.size() == 1);
    CHECK(starts[0].command == tool + " -extr \"with blank.bif\"");
    CHECK(starts[0].folder == game.data());

    bring_to_front(app.main());
    click_middle(app.check_box());
    REQUIRE_FALSE(ticked(app.check_box()));
    double_click_item(app, 2);
    starts = wait_for_starts(game, 2);
    REQUIRE(starts.size() == 2);
    CHECK(starts[1].command == tool + " Zaubér.bif");
    CHECK(starts[1].show == "1");
}
