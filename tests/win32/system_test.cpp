#include <doctest.h>

#include <algorithm>

#include "helpers.h"
#include "platform/failure.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/failure_report.h"
#include "platform/win32/folder_reader.h"
#include "platform/win32/open_address.h"

using namespace platform;
using namespace platform::win32;

namespace {

int delivered = 0;
LRESULT CALLBACK counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_APP)
        ++delivered;
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND message_window()
{
    WNDCLASSW counting{};
    counting.lpfnWndProc = counting_procedure;
    counting.hInstance = GetModuleHandleW(nullptr);
    counting.lpszClassName = L"VintrelTestCounting";
    RegisterClassW(&counting);
    return CreateWindowExW(0, L"VintrelTestCounting", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, counting.hInstance,
                           nullptr);
}

} // namespace

TEST_SUITE("system") {

TEST_CASE("the pump handles what is pending and returns; a quit it meets is posted again")
{
    const HWND window = message_window();
    REQUIRE(window);
    delivered = 0;
    for (int i = 0; i < 3; ++i)
        PostMessageW(window, WM_APP, 0, 0);
    pump_events();
    CHECK(delivered == 3);
    pump_events(); // nothing pending: returns at once

    PostMessageW(window, WM_APP, 0, 0);
    PostQuitMessage(7);
    pump_events();
    CHECK(delivered == 4);
    MSG message{};
    REQUIRE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    CHECK(message.message == WM_QUIT);
    CHECK(message.wParam == 7);
    DestroyWindow(window);
}

TEST_CASE("the folder of a program path")
{
    CHECK(folder_of(L"C:\\Vintrel.exe") == L"C:\\");
    CHECK(folder_of(L"D:\\Games\\BG\\Vintrel.exe") == L"D:\\Games\\BG");
    CHECK(folder_of(L"\\\\server\\share\\Vintrel.exe") == L"\\\\server\\share");
    CHECK(folder_of(L"\\\\?\\C:\\long\\Vintrel.exe") == L"\\\\?\\C:\\long");
}

TEST_CASE("the application facts: this program's folder, found even when the first buffer is too small")
{
    const std::wstring full = program_path();
    CHECK(program_path(4) == full);
    CHECK(program_path(full.size()) == full); // exactly full: GetModuleFileNameW truncates without room for the nul
    const AppFacts facts = read_app_facts();
    CHECK(facts.title == "Vintrel");
    CHECK(facts.folder == narrow(folder_of(full)));
    CHECK(facts.folder.back() != '\\');
    CHECK(facts.major == 1);
    CHECK(facts.minor == 0);
    CHECK(facts.revision == 0);
}

TEST_CASE("UTF-8 and UTF-16 convert both ways; malformed UTF-8 is replaced, not dropped")
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5 \xF0\x9F\x8E\xAE";
    CHECK(widen(text) == L"Gr\u00FC\u00DFe \u65E5 \U0001F3AE");
    CHECK(narrow(widen(text)) == text);
    CHECK(widen("a\xFF" "b") == L"a\uFFFDb");
    CHECK(widen("").empty());
}

TEST_CASE("a folder's entries carry their long names and the attributes the list filters on")
{
    const test::TempFolder folder("vintrel-read");
    folder.touch("Long archive name.bif");
    folder.touch("X.BIF");
    folder.touch("secret.bif", FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW(widen(folder.file("sub.bif")).c_str(), nullptr);
    auto entries = win32::read_folder(folder.path());
    std::sort(entries.begin(), entries.end(), [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; });
    REQUIRE(entries.size() == 4);
    CHECK(entries[0].name == "Long archive name.bif");
    CHECK_FALSE(entries[0].hidden);
    CHECK(entries[1].name == "X.BIF");
    CHECK(entries[2].name == "secret.bif");
    CHECK(entries[2].hidden);
    CHECK(entries[3].name == "sub.bif");
    CHECK(entries[3].directory);

    const test::TempFolder empty("vintrel-empty");
    CHECK(win32::read_folder(empty.path()).empty());
    CHECK_THROWS_AS(win32::read_folder(folder.file("no such folder")), Failure);
}

TEST_CASE("only web and mail addresses go to the shell")
{
    CHECK(is_web_address("http://www.example.org/"));
    CHECK(is_web_address("HTTPS://example.org"));
    CHECK(is_web_address("mailto:someone@example.org"));
    CHECK_FALSE(is_web_address("C:\\Windows\\notepad.exe"));
    CHECK_FALSE(is_web_address("file:///C:/x.exe"));
    CHECK_THROWS_AS(open_address("calc.exe"), Failure);
}

TEST_CASE("the failure report names the failure")
{
    CHECK(failure_text("Vintrel", "Overflow") == "Vintrel has met a failure it could not handle:\n\nOverflow");
    CHECK(failure_text("Vintrel", "") == "Vintrel has met a failure it could not handle:\n\nUnknown failure");
}

}
