#include <doctest.h>

#include <fstream>
#include <map>

#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/handles.h"
#include "platform/win32/process_start.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

std::string quoted(const std::string& text) { return '"' + text + '"'; }
std::string this_folder() { return read_app_facts().folder; }
std::string child_program() { return this_folder() + "\\win32_record_child.exe"; }

// The key=value lines the child writes, once the file is there; nothing after 20 seconds.
std::map<std::string, std::string> wait_for_record(const std::string& path)
{
    std::map<std::string, std::string> record;
    for (int i = 0; i < 400 && record.empty(); ++i, Sleep(50)) {
        std::ifstream file(widen(path).c_str(), std::ios::binary);
        for (std::string line; std::getline(file, line);)
            record[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return record;
}

// A process or thread object lasts while any handle to it is open; once the child has ended,
// it can be opened only if some handle (ours, leaked) still keeps it.
bool gone(DWORD process_id, DWORD thread_id)
{
    for (int i = 0; i < 200; ++i, Sleep(50)) {
        const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
        const UniqueHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread_id));
        if (!process && !thread)
            return true;
    }
    return false;
}

} // namespace

TEST_SUITE("process") {

TEST_CASE("the show mode, working folder and command line reach the child; no handle does, and ours are closed")
{
    const test::TempFolder folder("vintrel proc \xC3\xA4");
    // An inheritable event: were handles inherited, the child could set it.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE event = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    const std::string out = folder.file("record.txt");
    const std::string line = quoted(child_program()) + " " + quoted(out) + " " +
                             std::to_string(reinterpret_cast<std::uintptr_t>(event)) + " -extr \"A B.bif\"";
    start_process(line, ShowMode::normal_no_activate, folder.path());
    auto record = wait_for_record(out);
    REQUIRE_FALSE(record.empty());
    CHECK(record["show"] == "4");
    CHECK(record["uses_show"] == "1");
    CHECK(record["folder"] == folder.path());
    CHECK(record["line"] == line);
    CHECK(record["inherited"] == "0");
    CHECK(gone(static_cast<DWORD>(std::stoul(record["pid"])), static_cast<DWORD>(std::stoul(record["tid"]))));
    CloseHandle(event);
}

TEST_CASE("a missing program or folder fails; a bare program name comes from the system folder, never the program's")
{
    CHECK_THROWS_AS(start_process(quoted(this_folder() + "\\no-such-program.exe"), ShowMode::normal, ""), Failure);
    CHECK_THROWS_AS(start_process(quoted(child_program()), ShowMode::hidden, "C:\\no\\such\\folder"), Failure);

    // A program planted beside this one under a bare name must not run.
    const std::string planted = this_folder() + "\\win32_planted_child.exe";
    REQUIRE(CopyFileW(widen(child_program()).c_str(), widen(planted).c_str(), FALSE));
    const test::TempFolder folder("vintrel-planted");
    const std::string out = folder.file("record.txt");
    CHECK_THROWS_AS(start_process("win32_planted_child " + quoted(out), ShowMode::hidden, folder.path()), Failure);
    Sleep(300);
    CHECK(GetFileAttributesW(widen(out).c_str()) == INVALID_FILE_ATTRIBUTES);
    DeleteFileW(widen(planted).c_str());
    CHECK_NOTHROW(start_process("cmd /c exit 0", ShowMode::hidden, folder.path()));
}

}
