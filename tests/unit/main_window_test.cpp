#include <doctest.h>

#include "helpers.h"
#include "platform/failure.h"

using platform::CheckValue;
using platform::FileEntry;

TEST_CASE("loading lists the folder's BIF files with their count")
{
    fake::Platform p = game_folder({"Default.bif", "AREA000A.BIF", "x.bifold", "readme.txt", "b.bif"});
    auto& entries = p.folders["C:\\Game\\data"];
    entries.push_back({"hidden.bif", false, true, false});
    entries.push_back({"system.bif", false, false, true});
    entries.push_back({"folder.bif", true, false, false});
    frmMain form(p);

    form.show();

    CHECK(form.caption() == "Vintrel");
    CHECK(form.filSource.names() == std::vector<std::string>{"AREA000A.BIF", "b.bif", "Default.bif"});
    CHECK(form.lblCount.caption() == "File Count: 3");
    CHECK(form.chkSwitches.value() == CheckValue::ticked);
    CHECK(p.failures.empty());
}

TEST_CASE("an empty folder shows an empty list and a count of 0")
{
    fake::Platform p = game_folder({});
    frmMain form(p);
    form.show();
    CHECK(form.filSource.count() == 0);
    CHECK(form.lblCount.caption() == "File Count: 0");
}

TEST_CASE("more BIF files than a 16-bit count holds show their true count")
{
    std::vector<std::string> names;
    for (int i = 0; i < 40000; ++i)
        names.push_back("r" + std::to_string(i) + ".bif");
    fake::Platform p = game_folder(names);
    frmMain form(p);
    form.show();
    CHECK(form.lblCount.caption() == "File Count: 40000");
    CHECK(p.failures.empty());
}

TEST_CASE("a folder that cannot be read goes to the failure report")
{
    fake::Platform p;
    frmMain form(p);
    form.show();
    REQUIRE(p.failures.size() == 1);
    CHECK(p.failures[0].find("Path not found") != std::string::npos);
}

namespace {

struct Launch {
    fake::Platform p;
    frmMain form;
    explicit Launch(fake::Platform platform) : p(std::move(platform)), form(p) { form.show(); }
    void double_click(int index)
    {
        form.filSource.select(index);
        form.filSource.double_click();
    }
};

const char* const missing_file =
    "You are missing the file \"biftool.exe or ..\\chitin.key\".\r\nPlease ensure biftool.exe is in the same\r\n"
    "folder as the BIF files and this program,\r\nand that chitin.key is in the folder one level up.";

} // namespace

TEST_CASE("a double-click extracts with the box ticked and lists with it clear or grayed")
{
    Launch l(game_folder({"AREA000A.bif", "DEFAULT.BIF"}));

    SUBCASE("ticked, as at start: extract, not activated, then Done at once")
    {
        l.double_click(1);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "C:\\Game\\data\\biftool.exe -extr DEFAULT.BIF");
        CHECK(l.p.starts[0].mode == platform::ShowMode::normal_no_activate);
        CHECK(l.p.starts[0].working_folder == "C:\\Game\\data");
        REQUIRE(l.p.message_boxes.size() == 1);
        CHECK(l.p.message_boxes[0].text == "Files were extracted!");
        CHECK(l.p.message_boxes[0].title == "Done");
    }
    SUBCASE("clear: list, activated, no message")
    {
        l.form.chkSwitches.toggle();
        l.double_click(0);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "C:\\Game\\data\\biftool.exe AREA000A.bif");
        CHECK(l.p.starts[0].mode == platform::ShowMode::normal);
        CHECK(l.p.message_boxes.empty());
    }
    SUBCASE("grayed: list")
    {
        l.form.chkSwitches.set_value(CheckValue::grayed);
        l.double_click(0);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].mode == platform::ShowMode::normal);
    }
    CHECK(l.p.failures.empty());
}

TEST_CASE("without the tool only the Missing File message shows, in either mode")
{
    for (const bool ticked : {true, false}) {
        CAPTURE(ticked);
        fake::Platform p = game_folder({"a.bif"});
        p.startable.clear();
        Launch l(std::move(p));
        if (!ticked)
            l.form.chkSwitches.toggle();

        l.double_click(0);

        CHECK(l.p.starts.empty());
        REQUIRE(l.p.message_boxes.size() == 1);
        CHECK(l.p.message_boxes[0].title == "Missing File");
        CHECK(l.p.message_boxes[0].text == missing_file);
        CHECK(l.form.selected_archive() == "a.bif");
    }
}

TEST_CASE("a failing Done message also ends in the Missing File message")
{
    Launch l(game_folder({"a.bif"}));
    l.p.while_message_box = [](const fake::MessageBox& box) {
        if (box.title == "Done")
            throw platform::Failure("cannot show");
    };
    l.double_click(0);
    REQUIRE(l.p.message_boxes.size() == 2);
    CHECK(l.p.message_boxes[1].title == "Missing File");
    CHECK(l.p.failures.empty());
}

TEST_CASE("the command line is the plain one, quoted only where a blank would split it")
{
    SUBCASE("no selection: the line ends in the blank after the switch")
    {
        Launch l(game_folder({}));
        l.form.filSource.double_click();
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "C:\\Game\\data\\biftool.exe -extr ");
        CHECK(l.form.selected_archive().empty());
    }
    SUBCASE("a drive root keeps its own backslash")
    {
        Launch l(game_folder({"a.bif"}, "D:\\"));
        l.form.chkSwitches.toggle();
        l.double_click(0);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "D:\\\\biftool.exe a.bif");
    }
    SUBCASE("blanks in the folder and in the name")
    {
        Launch l(game_folder({"My Area.bif"}, "C:\\Program Files\\Game\\data"));
        l.double_click(0);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "\"C:\\Program Files\\Game\\data\\biftool.exe\" -extr \"My Area.bif\"");
        CHECK(l.p.starts[0].working_folder == "C:\\Program Files\\Game\\data");
    }
    SUBCASE("non-ASCII names pass through as they are")
    {
        Launch l(game_folder({"Zaub\xC3\xA9r.bif"}, "C:\\Spiele\\D\xC3\xA4mmerung"));
        l.double_click(0);
        REQUIRE(l.p.starts.size() == 1);
        CHECK(l.p.starts[0].command_line == "C:\\Spiele\\D\xC3\xA4mmerung\\biftool.exe -extr Zaub\xC3\xA9r.bif");
    }
}

TEST_CASE("every double-click stores its archive and starts a tool of its own")
{
    Launch l(game_folder({"a.bif", "b.bif"}));
    l.double_click(0);
    l.double_click(1);
    CHECK(l.form.selected_archive() == "b.bif");
    CHECK(l.p.starts.size() == 2);
    CHECK(l.p.message_boxes.size() == 2);
}
