#include <doctest.h>

#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/process_start.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

namespace {

std::string quote(const std::string& text) { return '"' + text + '"'; }
std::string this_folder() { return read_app_facts().folder; }

// A copy of the recording child in a folder of its own, whose record lands beside it.
struct Child {
    test::TempFolder folder{"vintrel proc \xC3\xA4"};
    std::string program = folder.file("child.exe");
    Child() { CopyFileW(widen(this_folder() + "\\win32_record_child.exe").c_str(), widen(program).c_str(), FALSE); }
};

// Once the child has ended its objects can be opened only while some handle (ours, leaked) keeps them.
bool gone(DWORD process_id, DWORD thread_id)
{
    return test::wait_until([&] {
        const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
        const UniqueHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread_id));
        return !process && !thread;
    });
}

} // namespace

TEST_SUITE("process") {

TEST_CASE("the show mode, working folder and command line reach the child; no handle does, and ours are closed")
{
    Child child;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle event(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    SetEnvironmentVariableW(L"RECORD_EVENT", std::to_wstring(reinterpret_cast<std::uintptr_t>(event.get())).c_str());
    const std::string line = quote(child.program) + " -extr \"A B.bif\"";
    start_process(line, ShowMode::normal_no_activate, child.folder.path());
    auto record = test::wait_for_record(child.folder.file("record.txt"));
    SetEnvironmentVariableW(L"RECORD_EVENT", nullptr);
    REQUIRE_FALSE(record.empty());
    CHECK(record["show"] == "4");
    CHECK(record["folder"] == child.folder.path());
    CHECK(record["line"] == line);
    CHECK(record["inherited"] == "0");
    CHECK(gone(static_cast<DWORD>(std::stoul(record["pid"])), static_cast<DWORD>(std::stoul(record["tid"]))));
}

TEST_CASE("a missing program or folder fails; a bare program name comes from the system folder, never the program's")
{
    Child child;
    CHECK_THROWS_AS(start_process(quote(child.folder.file("missing.exe")), ShowMode::normal, ""), Failure);
    CHECK_THROWS_AS(start_process(quote(child.program), ShowMode::hidden, "C:\\no\\such\\folder"), Failure);
    // A program planted beside this one under a bare name must not run.
    const std::string planted = this_folder() + "\\win32_planted_child.exe";
    REQUIRE(CopyFileW(widen(child.program).c_str(), widen(planted).c_str(), FALSE));
    CHECK_THROWS_AS(start_process("win32_planted_child", ShowMode::hidden, child.folder.path()), Failure);
    DeleteFileW(widen(planted).c_str());
    CHECK_NOTHROW(start_process("cmd /c exit 0", ShowMode::hidden, child.folder.path()));
}

}
