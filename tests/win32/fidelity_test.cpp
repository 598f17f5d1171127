#include <doctest.h>

#include <utility>

#include "info_window/frm_info.h"
#include "main_window/tool_command.h"
#include "platform/failure.h"
#include "platform/win32/app_facts.h"
#include "platform/win32/label_painter.h"
#include "platform/win32/path_forms.h"
#include "platform/win32/process_start.h"
#include "support.h"

using namespace platform;
using namespace platform::win32;

namespace {

// Runs once, inside whatever message loop runs then: the user's doing while a box or window is modal.
std::function<void()> pending;
void meanwhile(std::function<void()> action)
{
    pending = std::move(action);
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (const auto action = std::exchange(pending, nullptr))
            action();
    });
}

// How far the label's drawing spreads along its middle row, painted alone on black.
int drawn_width(const Label& label, FontCache& fonts, const RECT& box)
{
    const int width = box.right - box.left, middle = (box.bottom - box.top) / 2;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, box.top - box.bottom, 1, 32, BI_RGB}};
    void* bits = nullptr;
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    const GdiBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const Selection chosen(dc.get(), bitmap.get());
    SetViewportOrgEx(dc.get(), -box.left, -box.top, nullptr);
    paint_label(dc.get(), label, fonts);
    GdiFlush();
    const auto* row = static_cast<const std::uint32_t*>(bits) + middle * width;
    int first = 0, last = width - 1;
    while (first < width && row[first] == 0)
        ++first;
    while (last > first && row[last] == 0)
        --last;
    return last - first;
}

} // namespace

TEST_SUITE("fidelity") {

// A tick moves the banner 25 twips; at these scales its edges fall on at most 12 pixel phases.
TEST_CASE_FIXTURE(test::Shown, "at every scale, wherever it stands, the banner's box holds its whole text on one line")
{
    const std::int16_t left_limit = main.HScroll1.min();
    for (const int scale : {96, 120, 144, 168, 192, 216, 288, 336}) {
        CAPTURE(scale);
        RECT at{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(scale, scale), reinterpret_cast<LPARAM>(&at));
        FontCache fonts(Dpi{scale});
        const MemoryDc dc(CreateCompatibleDC(nullptr));
        const Selection font(dc.get(), fonts.get(main.cmdInfo.font()));
        SIZE text{};
        GetTextExtentPoint32W(dc.get(), L"CLICK HERE FOR INFORMATION", 26, &text);
        CHECK(Dpi{scale}.to_pixels(main.cmdInfo.width()) == text.cx); // fitted again at this scale
        for (int tick = 0; tick < 12; ++tick) {
            main.cmdInfo.set_left(25.0f * static_cast<float>(tick));
            const RECT box = label_box(main.cmdInfo, Dpi{scale});
            CHECK(box.right - box.left >= text.cx);
            CHECK(drawn_width(main.cmdInfo, fonts, box) >= text.cx * 9 / 10); // wrapped, about half shows
        }
    }
    CHECK(main.HScroll1.min() == left_limit); // the range stays as set at load
}

// The layout's boxes were measured with the raster face at 96 dpi; at other scales its twin draws.
TEST_CASE_FIXTURE(test::Shown, "at every scale each label's text and the check box's caption fit their boxes whole")
{
    frmInfo info(platform);
    info.show();
    for (const int scale : {96, 120, 144, 168, 192, 216, 288}) {
        CAPTURE(scale);
        FontCache fonts(Dpi{scale});
        const MemoryDc dc(CreateCompatibleDC(nullptr));
        for (const Form* form : {static_cast<const Form*>(&main), static_cast<const Form*>(&info)})
            for (const Label* label : form->labels()) {
                if (label->caption().empty() || label->auto_size())
                    continue;
                CAPTURE(label->name());
                RECT box = label_box(*label, Dpi{scale});
                if (label->border() == Border::single)
                    InflateRect(&box, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
                const Selection font(dc.get(), fonts.get(label->font()));
                const std::wstring text = widen(label->caption());
                RECT needed{0, 0, box.right - box.left, 0};
                DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
                          DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                CHECK(needed.right <= box.right - box.left);
                CHECK(needed.bottom <= box.bottom - box.top);
            }
        const Selection font(dc.get(), fonts.get(main.chkSwitches.layout().font));
        SIZE caption{};
        GetTextExtentPoint32W(dc.get(), L"Extract from BIF.", 17, &caption);
        const RECT box = Dpi{scale}.to_pixels(main.chkSwitches.bounds());
        CHECK(caption.cx + MulDiv(13 + 4, scale, 96) <= box.right - box.left); // after the box and its gap
    }
    info.unload();
}

TEST_CASE_FIXTURE(test::Shown, "the information window comes back where the user left it; loaded afresh, it is centred")
{
    // Where it shows; then the user moves it, and hides it with the mask or closes it.
    const auto open = [&](bool close) {
        RECT shown_at{};
        meanwhile([&] {
            const HWND info = test::window_of(*main.info());
            GetWindowRect(info, &shown_at);
            SetWindowPos(info, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            close ? (void)SendMessageW(info, WM_CLOSE, 0, 0) : main.info()->lblMask.click();
        });
        test::click(main, 100, 4700, 100, 4700);
        return std::pair{shown_at.left, shown_at.top};
    };
    open(false);
    CHECK(open(true) == std::pair{7L, 9L});
    CHECK(open(false) != std::pair{7L, 9L});
}

// Windows makes a new window where it puts new windows, at that screen's scale; placed over its
// owner on a screen of another scale, the window's size changes with the scale.
TEST_CASE_FIXTURE(test::Shown, "the information window is made over its owner, and centred again at a new scale "
                               "before it first shows")
{
    frmInfo info(platform);
    info.load();
    const HWND w = test::window_of(info);
    RECT owner, made;
    GetWindowRect(window, &owner);
    GetWindowRect(w, &made);
    CHECK(PtInRect(&owner, POINT{made.left, made.top}));
    const int dpi = 2 * test::screen_dpi();
    RECT suggested{0, 0, 10, 10};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client, placed;
    GetClientRect(w, &client);
    GetWindowRect(w, &placed);
    CHECK(client.right == Dpi{dpi}.to_pixels(info.layout().client_width));
    CHECK(std::abs((placed.left + placed.right) - (owner.left + owner.right)) <= 2);
    CHECK(std::abs((placed.top + placed.bottom) - (owner.top + owner.bottom)) <= 2);
    info.unload();
}

TEST_CASE_FIXTURE(test::Shown, "Enter on the list starts the tool once a press, under a box the main window owns")
{
    HWND owner = nullptr;
    BOOL enabled = TRUE;
    meanwhile([&] {
        const HWND box = FindWindowW(L"#32770", L"Done");
        owner = GetWindow(box, GW_OWNER);
        enabled = IsWindowEnabled(window);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    for (const auto& [at, held] : {std::pair{L"ListBox", 0}, {L"ListBox", 1 << 30}, {L"Button", 0}}) {
        PostMessageW(FindWindowExW(window, nullptr, at, nullptr), WM_KEYDOWN, VK_RETURN, held | 1);
        pump_events();
    }
    pending = nullptr; // where no box came up
    CHECK(platform.starts.size() == 1);
    CHECK(owner == window);
    CHECK_FALSE(enabled);
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
