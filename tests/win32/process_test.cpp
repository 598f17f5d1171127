#include <doctest.h>

#include "helpers.h"
#include "platform/failure.h"
#include "platform/win32/process_start.h"

using namespace platform;
using namespace platform::win32;

namespace {

std::string quoted(const std::string& text) { return '"' + text + '"'; }
std::string child_program() { return test::this_folder() + "\\win32_record_child.exe"; }

// A process or thread object lasts while any handle to it is open; once the child has ended,
// it can be opened only if some handle (ours, leaked) still keeps it.
bool gone(DWORD process_id, DWORD thread_id)
{
    for (int i = 0; i < 200; ++i) {
        const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
        const HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread_id);
        if (process)
            CloseHandle(process);
        if (thread)
            CloseHandle(thread);
        if (!process && !thread)
            return true;
        Sleep(50);
    }
    return false;
}

} // namespace

TEST_SUITE("process") {

TEST_CASE("the show mode, working folder and command line reach the child, and no handle does")
{
    const test::TempFolder folder("vintrel proc \xC3\xA4");
    // An inheritable event: were handles inherited, the child could set it.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE event = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    REQUIRE(event);
    const std::string out = folder.file("record.txt");
    const std::string line = quoted(child_program()) + " " + quoted(out) + " " +
                             std::to_string(reinterpret_cast<std::uintptr_t>(event)) + " -extr \"A B.bif\"";

    start_process(line, ShowMode::normal_no_activate, folder.path());
    auto record = test::wait_for_record(out);
    REQUIRE_FALSE(record.empty());
    CHECK(record["show"] == "4");
    CHECK(record["uses_show"] == "1");
    CHECK(record["folder"] == folder.path());
    CHECK(record["line"] == line);
    CHECK(record["inherited"] == "0");
    CHECK(record["program_folder"] == test::this_folder());
    CHECK(WaitForSingleObject(event, 0) == WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST_CASE("a hidden start, and an empty working folder keeps this process's")
{
    const test::TempFolder folder("vintrel-hidden");
    const std::string out = folder.file("record.txt");
    wchar_t here[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, here);

    start_process(quoted(child_program()) + " " + quoted(out), ShowMode::hidden, "");
    auto record = test::wait_for_record(out);
    REQUIRE_FALSE(record.empty());
    CHECK(record["show"] == "0");
    CHECK(record["folder"] == narrow(here));
}

TEST_CASE("a program that is not there, or a folder that is not, fails")
{
    CHECK_THROWS_AS(start_process(quoted(test::this_folder() + "\\no-such-program.exe"), ShowMode::normal, ""), Failure);
    CHECK_THROWS_AS(start_process(quoted(child_program()), ShowMode::hidden, "C:\\no\\such\\folder"), Failure);
}

TEST_CASE("a bare program name comes from the system folder, never from the program's own")
{
    // A program planted beside this one under a bare name must not run.
    const std::string planted = test::this_folder() + "\\win32_planted_child.exe";
    REQUIRE(CopyFileW(widen(child_program()).c_str(), widen(planted).c_str(), FALSE));
    const test::TempFolder folder("vintrel-planted");
    const std::string out = folder.file("record.txt");
    CHECK_THROWS_AS(start_process("win32_planted_child " + quoted(out), ShowMode::hidden, folder.path()), Failure);
    Sleep(300);
    CHECK(GetFileAttributesW(widen(out).c_str()) == INVALID_FILE_ATTRIBUTES);
    DeleteFileW(widen(planted).c_str());

    CHECK_NOTHROW(start_process("cmd /c exit 0", ShowMode::hidden, folder.path()));
}

TEST_CASE("both handles of a started process are closed")
{
    const test::TempFolder folder("vintrel-handles");
    const std::string out = folder.file("record.txt");
    start_process(quoted(child_program()) + " " + quoted(out), ShowMode::hidden, folder.path());
    auto record = test::wait_for_record(out);
    REQUIRE_FALSE(record.empty());
    CHECK(gone(static_cast<DWORD>(std::stoul(record["pid"])), static_cast<DWORD>(std::stoul(record["tid"]))));
}

}
