#include <doctest.h>

#include "main_window/tool_command.h"
#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/folder_reader.h"
#include "platform/win32/path_forms.h"
#include "platform/win32/process_start.h"
#include "test_form.h"

using namespace platform;
using namespace platform::win32;

namespace {

// The main form's timer ticks inside whatever loop runs: the user's doing while a window is modal.
struct Modal : test::Shown {
    test::Form tool{platform, {.name = "frmTool", .caption = "Tool", .client_width = 2295, .client_height = 4800,
                               .border = BorderStyle::fixed_tool_window, .start = StartPosition::center_owner,
                               .in_taskbar = false}};
    void while_open(std::function<void()> user)
    {
        pending_ = std::move(user);
        form.timer.set_interval(30);
    }
    Modal()
    {
        form.on_tick = [this] {
            if (const auto user = std::exchange(pending_, nullptr))
                user();
        };
    }
    std::function<void()> pending_;
    ~Modal() { tool.unload(); }
};

} // namespace

TEST_SUITE("fidelity") {

TEST_CASE_FIXTURE(Modal, "a message box is owned by the window that shows it, which takes no input meanwhile")
{
    HWND owner = nullptr;
    BOOL enabled = TRUE;
    while_open([&] {
        const HWND box = FindWindowW(L"#32770", L"Done");
        owner = GetWindow(box, GW_OWNER);
        enabled = IsWindowEnabled(form.window());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform.message_box(form, "Files were extracted!", "Done");
    CHECK(owner == form.window());
    CHECK_FALSE(enabled);
}

TEST_CASE_FIXTURE(test::Shown, "Enter on the list runs its double-click handler, once a press; elsewhere nothing")
{
    int runs = 0;
    form.list.on_double_click = [&] { ++runs; };
    const auto press = [](HWND at, LPARAM held) {
        PostMessageW(at, WM_KEYDOWN, VK_RETURN, held | 1);
        platform::win32::pump_events();
    };
    press(form.child(L"ListBox"), 0);
    press(form.child(L"ListBox"), 1 << 30);
    press(form.child(L"Button"), 0);
    CHECK(runs == 1);
}

TEST_CASE("a program started by an extended or a network path has its plain folder")
{
    CHECK(folder_of(L"\\\\?\\C:\\Vintrel.exe") == L"C:\\");
    CHECK(folder_of(L"\\\\?\\UNC\\server\\share\\data\\Vintrel.exe") == L"\\\\server\\share\\data");
    CHECK(folder_of(L"\\\\server\\share\\data\\Vintrel.exe") == L"\\\\server\\share\\data");
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
    const std::wstring line = widen(tool_command(narrow(folder), "-extr ", "an archive with a long name.bif"));
    CHECK_THROWS_AS(with_program_within_limit(line), Failure); // no tool, so no short form of it
    const std::wstring child = widen(read_app_facts().folder) + L"\\win32_record_child.exe";
    REQUIRE(CopyFileW(child.c_str(), extended_path(folder + L"\\biftool.exe").c_str(), FALSE));
    CHECK(read_folder(narrow(folder)).at(0).name == "biftool.exe");

    const std::wstring tail = L"\" -extr \"an archive with a long name.bif\"";
    const std::wstring started = with_program_within_limit(line);
    REQUIRE(started.ends_with(tail));
    const std::pair<std::wstring, std::wstring> short_and_long[] = {
        {started.substr(1, started.size() - tail.size() - 1), folder + L"\\biftool.exe"}, {within_limit(folder), folder}};
    for (const auto& [short_form, long_form] : short_and_long) {
        CHECK(fits_old_limit(short_form));
        std::wstring found(1024, L'\0');
        found.resize(GetLongPathNameW(short_form.c_str(), found.data(), 1024));
        CHECK(found == long_form);
    }
}

}
