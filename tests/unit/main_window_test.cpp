#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include "fake/fake_platform.h"
#include "info_window/frm_info.h"
#include "main_window/frm_main.h"
#include "platform/failure.h"

using platform::CheckValue;
using platform::ShowMode;

TEST_CASE("loading lists the folder's visible BIF files, sorted, with their true count")
{
    fake::Platform p = fake::game_folder({"Default.bif", "AREA000A.BIF", "x.bifold", "readme.txt", "b.bif"});
    auto& entries = p.folders["C:\\Game\\data"];
    entries.insert(entries.end(),
                   {{"hidden.bif", false, true}, {"system.bif", false, false, true}, {"folder.bif", true}});
    frmMain form(p);
    form.show();
    CHECK(form.caption() == "Vintrel");
    CHECK(form.filSource.names() == std::vector<std::string>{"AREA000A.BIF", "b.bif", "Default.bif"});
    CHECK(form.lblCount.caption() == "File Count: 3");
    for (const int count : {0, 40000}) { // none, and more than a 16-bit count holds
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
            names.push_back("r" + std::to_string(i) + ".bif");
        fake::Platform many = fake::game_folder(names);
        frmMain counted(many);
        counted.show();
        CHECK(counted.lblCount.caption() == "File Count: " + std::to_string(count));
        CHECK(many.failures.empty());
    }
    fake::Platform unreadable; // its folder is not there
    frmMain lost(unreadable);
    lost.show();
    CHECK(unreadable.failures == std::vector<std::string>{"Path not found: C:\\Games\\Game\\data"});
}

TEST_CASE("a double-click starts the tool on the selected archive: command line, show mode, folder and message")
{
    const std::string missing = "Missing File: You are missing the file \"biftool.exe or ..\\chitin.key\".\r\n"
                                "Please ensure biftool.exe is in the same\r\nfolder as the BIF files and this program,"
                                "\r\nand that chitin.key is in the folder one level up.";
    struct Case {
        const char* what;
        std::vector<std::string> files;
        std::string folder;
        CheckValue box;
        int selected;
        std::string started, said;
    };
    const Case cases[] = {
        {"ticked, as at start",
         {"AREA000A.bif", "DEFAULT.BIF"},
         "C:\\Game\\data",
         CheckValue::ticked,
         1,
         "C:\\Game\\data\\biftool.exe -extr DEFAULT.BIF; mode 4 in C:\\Game\\data",
         "Done: Files were extracted!"},
        {"clear",
         {"AREA000A.bif", "DEFAULT.BIF"},
         "C:\\Game\\data",
         CheckValue::clear,
         0,
         "C:\\Game\\data\\biftool.exe AREA000A.bif; mode 1 in C:\\Game\\data",
         ""},
        {"grayed",
         {"a.bif"},
         "C:\\Game\\data",
         CheckValue::grayed,
         0,
         "C:\\Game\\data\\biftool.exe a.bif; mode 1 in C:\\Game\\data",
         ""},
        {"nothing selected",
         {},
         "C:\\Game\\data",
         CheckValue::ticked,
         -1,
         "C:\\Game\\data\\biftool.exe -extr ; mode 4 in C:\\Game\\data",
         "Done: Files were extracted!"},
        {"a drive root", {"a.bif"}, "D:\\", CheckValue::clear, 0, "D:\\\\biftool.exe a.bif; mode 1 in D:\\", ""},
        {"blanks",
         {"My Area.bif"},
         "C:\\Program Files\\Game",
         CheckValue::ticked,
         0,
         "\"C:\\Program Files\\Game\\biftool.exe\" -extr \"My Area.bif\"; mode 4 in C:\\Program Files\\Game",
         "Done: Files were extracted!"},
        {"non-ASCII",
         {"Zaub\xC3\xA9r.bif"},
         "C:\\D\xC3\xA4mmerung",
         CheckValue::clear,
         0,
         "C:\\D\xC3\xA4mmerung\\biftool.exe Zaub\xC3\xA9r.bif; mode 1 in C:\\D\xC3\xA4mmerung",
         ""},
        {"no tool, ticked", {"a.bif"}, "", CheckValue::ticked, 0, "", missing},
        {"no tool, clear", {"a.bif"}, "", CheckValue::clear, 0, "", missing},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        fake::Platform p = fake::game_folder(c.files, c.folder.empty() ? "C:\\Game\\data" : c.folder);
        if (c.folder.empty())
            p.startable.clear();
        frmMain form(p);
        form.show();
        form.chkSwitches.set_value(c.box);
        fake::User::select(form.filSource, c.selected);
        fake::User::double_click(form.filSource);
        std::string started, said;
        for (const auto& s : p.starts)
            started +=
                s.command_line + "; mode " + std::to_string(static_cast<int>(s.mode)) + " in " + s.working_folder;
        for (const auto& m : p.message_boxes)
            said += m.title + ": " + m.text;
        CHECK(started == c.started);
        CHECK(said == c.said);
        CHECK(form.selected_archive() == (c.selected < 0 ? "" : c.files[static_cast<std::size_t>(c.selected)]));
        CHECK(p.failures.empty());
    }
}

TEST_CASE("a failing Done message also ends in Missing File")
{
    fake::Platform p = fake::game_folder({"a.bif"});
    frmMain form(p);
    form.show();
    p.while_message_box = [](const fake::MessageBox& box) {
        if (box.title == "Done")
            throw platform::Failure("cannot show");
    };
    fake::User::select(form.filSource, 0);
    fake::User::double_click(form.filSource);
    REQUIRE(p.message_boxes.size() == 2);
    CHECK(p.message_boxes[1].title == "Missing File");
    CHECK(p.failures.empty());
}

// A box owned by no window, or by another, leaves the window whose handler shows it taking input.
TEST_CASE("every message box is owned by the window whose handler shows it")
{
    fake::Platform p = fake::game_folder({"a.bif"});
    p.address_opens = false;
    frmMain main(p);
    main.show();
    fake::User::double_click(main.filSource); // "Done"
    p.startable.clear();
    fake::User::double_click(main.filSource); // "Missing File"
    p.while_modal = [&main](platform::Form& info) {
        fake::User::click(main.info()->lblQarvel); // the web site cannot be opened
        info.hide();
    };
    fake::User::click(main.cmdClick);
    REQUIRE(p.message_boxes.size() == 3);
    const platform::Form* owners[] = {&main, &main, main.info()};
    for (std::size_t i = 0; i < 3; ++i)
        CHECK(p.message_boxes[i].owner == owners[i]);
}
