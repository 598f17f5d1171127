#include <doctest.h>

#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/folder_reader.h"
#include "platform/win32/open_address.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

TEST_SUITE("system") {

TEST_CASE("the pump handles what is pending and returns; a quit it meets is posted again")
{
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    PostQuitMessage(7);
    pump_events();
    MSG message{};
    REQUIRE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    CHECK((message.message == WM_QUIT && message.wParam == 7));
    CHECK_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_CASE("the application facts: title, version, and this program's folder however long its path")
{
    CHECK(folder_of(L"C:\\Vintrel.exe") == L"C:\\");
    CHECK(program_path(4) == program_path());
    const AppFacts facts = read_app_facts();
    CHECK(facts.folder == narrow(folder_of(program_path())));
    CHECK(facts.title + " " + std::to_string(facts.major) + "." + std::to_string(facts.minor) + "." +
              std::to_string(facts.revision) == "Vintrel 1.0.0");
}

TEST_CASE("a folder's entries carry their long names and the attributes the list leaves out")
{
    const test::TempFolder folder("vintrel-list");
    folder.write("Long name \xC3\xA4.bif");
    folder.write("hidden.bif", "", FILE_ATTRIBUTE_HIDDEN);
    folder.write("system.bif", "", FILE_ATTRIBUTE_SYSTEM);
    folder.write("sub.bif\\inner.bif");
    std::string seen;
    for (const FileEntry& e : read_folder(folder.path()))
        seen += e.name + (e.hidden ? " hidden" : "") + (e.system ? " system" : "") + (e.directory ? " folder" : "") + ";";
    for (const char* entry : {"Long name \xC3\xA4.bif;", "hidden.bif hidden;", "system.bif system;", "sub.bif folder;"})
        CHECK(seen.find(entry) != std::string::npos);
    CHECK_THROWS_AS(read_folder(folder.file("missing")), Failure);
    CHECK_THROWS_AS(open_address("calc.exe"), Failure); // only web and mail addresses go to the shell
    CHECK(is_web_address("HTTPS://example.org"));
}

}
