#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>

#include "main_window/tool_command.h"
#include "platform/failure.h"
#include "platform/win32/system/app_facts.h"
#include "platform/win32/system/console_host.h"
#include "platform/win32/system/open_address.h"
#include "platform/win32/system/path_forms.h"
#include "platform/win32/system/process_start.h"
#include "platform/win32/window/window_corners.h"
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

TEST_CASE("the application facts: title, version, and this program's folder however long or whatever form its path")
{
    CHECK(folder_of(L"C:\\Vintrel.exe") == L"C:\\");
    // Started by an extended or a network path, it has its plain folder.
    CHECK(folder_of(L"\\\\?\\C:\\Vintrel.exe") == L"C:\\");
    CHECK(folder_of(L"\\\\?\\UNC\\server\\share\\data\\Vintrel.exe") == L"\\\\server\\share\\data");
    CHECK(folder_of(L"\\\\server\\share\\data\\Vintrel.exe") == L"\\\\server\\share\\data");
    CHECK(program_path(4) == program_path());
    const AppFacts facts = read_app_facts();
    CHECK(facts.folder == narrow(folder_of(program_path())));
    CHECK(facts.title + " " + std::to_string(facts.major) + "." + std::to_string(facts.minor) + "." +
              std::to_string(facts.revision) ==
          "Vintrel 1.0.0");
}

// Wine's desktop rounds nothing and takes any request; the point is that the call is found, by its
// library and name, from the system folder.
TEST_CASE("square corners are asked of the system's window manager")
{
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CHECK(ask_for_square_corners(window));
    DestroyWindow(window);
}

TEST_CASE("only web and mail addresses go to the shell")
{
    CHECK(is_web_address("HTTPS://example.org"));
    CHECK_THROWS_AS(open_address("calc.exe"), Failure);
}

TEST_CASE("a started program gets the show mode, folder and command line, and no handle, and is let go; a bare "
          "name comes from the system folder only; a missing program or folder fails")
{
    const test::TempFolder folder("vintrel proc \xC3\xA4");
    const std::string child = folder.file("child.exe"), line = '"' + child + "\" -extr \"A B.bif\"";
    CopyFileW(widen(read_app_facts().folder + "\\win32_record_child.exe").c_str(), widen(child).c_str(), FALSE);
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle event(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    SetEnvironmentVariableW(L"RECORD_EVENT", std::to_wstring(reinterpret_cast<std::uintptr_t>(event.get())).c_str());
    start_process(line, ShowMode::normal_no_activate, folder.path());
    auto record = test::wait_for_record(folder.file("record.txt"));
    SetEnvironmentVariableW(L"RECORD_EVENT", nullptr);
    CHECK(record["show"] == "4");
    CHECK(record["folder"] == folder.path());
    CHECK(record["line"] == line);
    CHECK(record["inherited"] == "0");
    // Once ended it is gone: the start kept no handle to it.
    const auto pid = static_cast<DWORD>(std::stoul(record["pid"]));
    CHECK(test::wait_until([&] { return !UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, pid)); }, 5000));
    // A program planted beside this one under a bare name must not run.
    const std::string planted = read_app_facts().folder + "\\win32_planted_child.exe";
    REQUIRE(CopyFileW(widen(child).c_str(), widen(planted).c_str(), FALSE));
    CHECK_THROWS_AS(start_process("win32_planted_child", ShowMode::hidden, folder.path()), Failure);
    DeleteFileW(widen(planted).c_str());
    CHECK_NOTHROW(start_process("cmd /c exit 0", ShowMode::hidden, folder.path()));
    CHECK_THROWS_AS(start_process('"' + folder.file("missing.exe") + '"', ShowMode::normal, ""), Failure);
    CHECK_THROWS_AS(start_process(line, ShowMode::hidden, "C:\\no\\such\\folder"), Failure);
}

// Wine starts no program from such a folder by any path (it lengthens short forms again), so the
// command line and folder handed to the system are checked instead.
TEST_CASE("from a folder deeper than the old limit the tool goes by its short form; the archive name stays long")
{
    const test::TempFolder root("vintrel-long");
    std::wstring folder = widen(root.path());
    while (folder.size() <= 300) {
        folder += L"\\a folder with a long name";
        REQUIRE(CreateDirectoryW(extended_path(folder).c_str(), nullptr));
    }
    const std::wstring tool = folder + L"\\biftool.exe";
    const std::wstring line = widen(tool_command(narrow(folder), "-extr ", "a b.bif"));
    CHECK(with_program_within_limit(line) == line); // no tool, so no short form of it: tried as it is
    CHECK_THROWS_AS(start_process(narrow(line), ShowMode::normal_no_activate, narrow(folder)), Failure);
    REQUIRE(CopyFileW((widen(read_app_facts().folder) + L"\\win32_record_child.exe").c_str(),
                      extended_path(tool).c_str(), FALSE));
    const std::wstring started = with_program_within_limit(line), tail = L"\" -extr \"a b.bif\"";
    REQUIRE(started.ends_with(tail));
    for (const auto& [short_form, long_form] :
         {std::pair{started.substr(1, started.size() - tail.size() - 1), tool}, {within_limit(folder), folder}}) {
        CHECK(fits_old_limit(short_form));
        std::wstring found(1024, L'\0');
        found.resize(GetLongPathNameW(short_form.c_str(), found.data(), 1024));
        CHECK(found == long_form);
    }
    DeleteFileW(extended_path(tool).c_str());
    for (; folder.size() > root.path().size(); folder.resize(folder.rfind(L'\\')))
        RemoveDirectoryW(extended_path(folder).c_str());
}

TEST_CASE("a window kept from the focus may start through the classic console host: only a line the host passes on "
          "as it stands, and the host let go once it has started the program, else nothing is left running")
{
    const std::wstring line = L"\"C:\\a b\\biftool.exe\" -extr \"a b.bif\"";
    CHECK(console_host_line(line) == L"conhost.exe -- " + line);
    CHECK(console_host_line(L"C:\\g\\biftool.exe -extr a.bif") == L"conhost.exe -- C:\\g\\biftool.exe -extr a.bif");
    // The host splits the line and joins it again, and expands names between percent signs.
    for (const wchar_t* changed : {L"C:\\g\\biftool.exe -extr ", L"C:\\g\\biftool.exe  a.bif", L" C:\\g\\biftool.exe",
                                   L"\"C:\\g\\biftool.exe\" a", L"\"C:\\a b\\\" a", L"\"C:\\a b\\biftool.exe\"a",
                                   L"C:\\g\\biftool.exe a\"b", L"C:\\g\\biftool.exe %TEMP%"}) {
        CAPTURE(narrow(changed));
        CHECK(console_host_line(changed).empty());
    }

    const test::TempFolder folder("vintrel host");
    const std::string record_child = read_app_facts().folder + "\\win32_record_child.exe";
    const std::string host = folder.file("host\\host.exe"), tool = folder.file("tool\\tool.exe");
    for (const std::string& copy : {host, tool}) {
        CreateDirectoryW(widen(copy.substr(0, copy.rfind('\\'))).c_str(), nullptr);
        REQUIRE(CopyFileW(widen(record_child).c_str(), widen(copy).c_str(), FALSE));
    }
    const std::string tool_line = '"' + tool + "\" -extr a.bif";
    const std::wstring host_line = console_host_line(widen(tool_line));
    REQUIRE_FALSE(host_line.empty());
    CHECK(start_through_host(widen(host), host_line, SW_SHOWNOACTIVATE, widen(folder.path())));
    auto host_record = test::wait_for_record(folder.file("host\\record.txt"));
    CHECK(host_record["show"] == "4");
    CHECK(host_record["folder"] == folder.path());
    CHECK(host_record["line"] == narrow(host_line));
    CHECK(test::wait_for_record(folder.file("tool\\record.txt"))["line"] == tool_line);

    // The system's own host: where it starts the tool it says so (Windows); where it takes no
    // command line it ends, and nothing runs (Wine).
    DeleteFileW(widen(folder.file("tool\\record.txt")).c_str());
    wchar_t system_folder[MAX_PATH];
    GetSystemDirectoryW(system_folder, MAX_PATH);
    const bool started = start_through_host(std::wstring(system_folder) + L"\\conhost.exe", host_line,
                                            SW_SHOWNOACTIVATE, widen(folder.path()));
    Sleep(500);
    CHECK(started == (GetFileAttributesW(widen(folder.file("tool\\record.txt")).c_str()) != INVALID_FILE_ATTRIBUTES));
    MESSAGE("the system's console host started the tool: ", started,
            "; consoles may be handed over: ", consoles_may_be_handed_over());
}

// Names that are short already have no shorter form, as every name has where a volume keeps no
// short names.
TEST_CASE("a folder deeper than the old limit with no shorter form is tried as it is, and fails only by its start")
{
    const test::TempFolder root("vintrel-short");
    const std::wstring top = short_path(widen(root.path()));
    std::wstring folder = top;
    while (folder.size() <= 300) {
        folder += L"\\abcdefgh";
        REQUIRE(CreateDirectoryW(extended_path(folder).c_str(), nullptr));
    }
    REQUIRE(short_path(folder) == folder);
    CHECK(within_limit(folder) == folder);
    const std::wstring tool = folder + L"\\biftool.exe";
    CHECK(with_program_within_limit(tool + L" -extr a.bif") == tool + L" -extr a.bif");
    CHECK_THROWS_AS(start_process(narrow(tool) + " -extr a.bif", ShowMode::normal_no_activate, narrow(folder)),
                    Failure);
    for (; folder.size() > top.size(); folder.resize(folder.rfind(L'\\')))
        RemoveDirectoryW(extended_path(folder).c_str());
}

}
