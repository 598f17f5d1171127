// The real windows read back against their forms' own layouts at the screen's resolution (the
// suite runs at 96 and at 144 dpi): settings, every windowed control and every label as drawn.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>

#include "support.h"
#include "platform/win32/painting/colors.h"
#include "platform/win32/painting/fonts.h"
#include "platform/win32/window/form_window.h"

using namespace platform;
using platform::win32::to_colorref;

namespace {

RECT px(const Rect& r) { return test::px(r.left, r.top, r.width, r.height); }
int font_height(const Font& font) { return -static_cast<int>(std::lround(font.points * test::screen_dpi() / 72.0)); }

test::Capture drawn(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return test::Capture(window, r);
}

SIZE text_size(const Font& font, const std::string& text)
{
    win32::FontCache fonts(win32::Dpi{test::screen_dpi()});
    const win32::MemoryDc dc(CreateCompatibleDC(nullptr));
    const win32::Selection chosen(dc.get(), fonts.get(font));
    const std::wstring wide = test::widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

// At 96 dpi the prefix's raster face itself draws, as on Windows; elsewhere a TrueType face.
void check_face(HFONT made, const Font& font)
{
    const win32::MemoryDc dc(CreateCompatibleDC(nullptr));
    const win32::Selection chosen(dc.get(), made);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    const bool raster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
    CHECK(metrics.tmWeight == (font.bold ? FW_BOLD : FW_NORMAL));
    if (test::screen_dpi() == 96) {
        CHECK(test::narrow(face) == font.name);
        CHECK(raster);
        CHECK(metrics.tmHeight - metrics.tmInternalLeading == -font_height(font));
    } else {
        CHECK((metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0);
    }
}

void check_settings(const Form& form, HWND w)
{
    const FormLayout& l = form.layout();
    const auto style = GetWindowLongPtrW(w, GWL_STYLE), ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    CHECK(((style & WS_MINIMIZEBOX) != 0) == l.min_button);
    CHECK(((style & WS_MAXIMIZEBOX) != 0) == l.max_button);
    CHECK((style & (WS_THICKFRAME | WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU));
    CHECK(((ex & WS_EX_TOOLWINDOW) != 0) == (l.border == BorderStyle::fixed_tool_window));
    CHECK(((ex & WS_EX_APPWINDOW) != 0) == l.in_taskbar);
    CHECK((GetWindow(w, GW_OWNER) == nullptr) == l.in_taskbar);
    CHECK((SendMessageW(w, WM_GETICON, ICON_BIG, 0) && SendMessageW(w, WM_GETICON, ICON_SMALL, 0)) == l.has_icon);
    wchar_t caption[64] = {};
    GetWindowTextW(w, caption, 64);
    CHECK(test::narrow(caption) == form.caption());
    RECT client, outer, around;
    GetClientRect(w, &client);
    CHECK(client.right == test::px(l.client_width));
    CHECK(client.bottom == test::px(l.client_height));
    GetWindowRect(w, &outer);
    if (l.start == StartPosition::center_owner)
        GetWindowRect(GetWindow(w, GW_OWNER), &around);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    CHECK(std::abs((outer.left + outer.right) - (around.left + around.right)) <= 2);
    CHECK(std::abs((outer.top + outer.bottom) - (around.top + around.bottom)) <= 2);
    CHECK(drawn(w).at(client.right - 1, client.bottom - 1) == to_colorref(l.back)); // no label there
}

// What the layout says of a windowed control's child; no kind for the timer, which has none.
struct Windowed : ControlVisitor {
    const char* kind = nullptr;
    Rect bounds;
    int tab_index = 0;
    const Font* font = nullptr;
    const FileListBox* list = nullptr;
    const CheckBox* check = nullptr;
    const ScrollBar* scroll = nullptr;

    void visit(FileListBox& box) override
    {
        set("ListBox", box.bounds(), box.tab_index(), &box.font());
        list = &box;
    }
    void visit(CheckBox& box) override
    {
        set("Button", box.bounds(), box.tab_index(), &box.layout().font);
        check = &box;
    }
    void visit(ScrollBar& bar) override
    {
        set("ScrollBar", bar.bounds(), bar.tab_index(), nullptr);
        scroll = &bar;
    }
    void visit(Timer&) override {}
    void set(const char* k, const Rect& b, int tab, const Font* f)
    {
        kind = k;
        bounds = b;
        tab_index = tab;
        font = f;
    }
};

// Windowed controls: stacked in the form's order, placed, in their font and colours, in tab order.
void check_controls(const Form& form, HWND w)
{
    std::vector<std::pair<int, HWND>> tab_order;
    for (Control* control : form.controls()) {
        Windowed expect;
        control->accept(expect);
        if (!expect.kind)
            continue;
        const FileListBox* list = expect.list;
        const CheckBox* check = expect.check;
        const ScrollBar* scroll = expect.scroll;
        CAPTURE(control->name());
        const HWND child = tab_order.empty() ? GetWindow(w, GW_CHILD) : GetWindow(tab_order.back().second, GW_HWNDNEXT);
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        CHECK(test::narrow(kind) == expect.kind);
        RECT r, expected = px(expect.bounds);
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        CHECK(EqualRect(&r, &expected));
        tab_order.push_back({expect.tab_index, child});
        if (scroll) {
            int low = 0, high = 0;
            GetScrollRange(child, SB_CTL, &low, &high);
            CHECK(std::vector{low, high, GetScrollPos(child, SB_CTL)} ==
                  std::vector<int>{scroll->min(), scroll->max(), scroll->value()});
            continue;
        }
        const Font& font = *expect.font;
        const auto made = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        check_face(made, font);
        if (list) { // each row holds a line of the font
            const win32::MemoryDc dc(CreateCompatibleDC(nullptr));
            const win32::Selection chosen(dc.get(), made);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc.get(), &metrics);
            CHECK(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0) >= metrics.tmHeight);
        }
        if (check) {
            const test::Capture s = drawn(w);
            const RECT caption{r.left + (r.right - r.left) / 4, r.top, r.right, r.bottom}; // right of the box
            CHECK(s.count(caption, to_colorref(check->layout().fore)) > 10);
            CHECK(s.at(r.right - 1, (r.top + r.bottom) / 2) == to_colorref(check->layout().back));
            CHECK(SendMessageW(child, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(check->value()));
            // A check box to assistive technology, which reads a button's kind from its style.
            CHECK((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_3STATE);
        }
    }
    std::sort(tab_order.begin(), tab_order.end());
    for (std::size_t i = 0; i <= tab_order.size() && !tab_order.empty(); ++i) {
        if (i == 0)
            SetFocus(tab_order[0].second);
        else
            win32::dispatch(MSG{.hwnd = GetFocus(), .message = WM_KEYDOWN, .wParam = VK_TAB});
        CHECK(GetFocus() == tab_order[i % tab_order.size()].second);
    }
}

// Labels as drawn: opaque ones fill their place, framed ones have a sunken edge, and a caption
// that fits one line shows in the label's colour, font and alignment.
void check_labels(const Form& form, HWND w)
{
    const test::Capture s = drawn(w);
    RECT client;
    GetClientRect(w, &client);
    for (const Label* label : form.labels()) {
        CAPTURE(label->name());
        RECT r = px(label->bounds()), inside, box;
        const bool whole = r.left >= 0 && r.right <= client.right && r.bottom <= client.bottom;
        IntersectRect(&r, &r, &client);
        if (label->back_style() == BackStyle::opaque)
            CHECK(s.at(r.left + 3, r.bottom - 3) == to_colorref(label->back_color()));
        if (label->border() == Border::single)
            CHECK(s.at(r.left, r.top) == GetSysColor(COLOR_BTNSHADOW));
        if (label->caption().empty())
            continue;
        CopyRect(&inside, &r);
        InflateRect(&inside, -3, -3);
        CHECK(s.count(inside, to_colorref(label->fore_color()), &box) > 5);
        const SIZE text = text_size(label->font(), label->caption());
        if (label->auto_size())
            CHECK(std::abs(test::px(label->width()) - text.cx) <= 1);
        if (!whole || colors::is_system(label->fore_color()) || text.cx >= r.right - r.left)
            continue;
        // Where the label's font and alignment put the text: the painted box within a few pixels.
        const int left = label->alignment() == Alignment::center ? (r.left + r.right - text.cx) / 2 : r.left;
        CHECK(std::abs(box.left - left) + std::abs(box.right - left - text.cx) <= 4);
        CHECK((box.top >= r.top && box.bottom <= r.top + text.cy + 1));
    }
}

} // namespace

TEST_SUITE("layout") {

TEST_CASE_FIXTURE(test::Shown, "the windows are as their forms lay them out")
{
    if (const char* expected = std::getenv("EXPECT_DPI"))
        REQUIRE(test::screen_dpi() == std::atoi(expected));
    main.Timer1.set_enabled(false); // the banner held where it shows whole
    main.cmdInfo.set_left(0);
    frmInfo info(platform);
    for (Form* form : {static_cast<Form*>(&main), static_cast<Form*>(&info)}) {
        CAPTURE(form->layout().name);
        form->show();
        const HWND w = platform.window_of(*form);
        // Drawn and on the screen once a label with a colour of its own shows it.
        const Label* coloured = *std::find_if(form->labels().begin(), form->labels().end(), [](const Label* l) {
            return !l->caption().empty() && !colors::is_system(l->fore_color());
        });
        test::wait_until([&] { return drawn(w).count(px(coloured->bounds()), to_colorref(coloured->fore_color())); },
                         3000);
        check_settings(*form, w);
        check_controls(*form, w);
        check_labels(*form, w);
    }
    info.unload();
    CHECK(platform.failures.empty());
}

// Asked for at the window's scale, which on a screen of another scale is not the system's.
TEST_CASE_FIXTURE(test::Shown, "the icons and the pointer are drawn for the window's scale, and again when it changes")
{
    const auto widths = [&] {
        std::vector<int> widths;
        for (const auto* image : {reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)),
                                  reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)),
                                  static_cast<HICON>(platform.peer_of(main)->pointer())}) {
            ICONINFO info{};
            BITMAP bitmap{};
            if (GetIconInfo(const_cast<HICON>(image), &info))
                GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            widths.push_back(bitmap.bmWidth);
        }
        return widths;
    };
    const int dpi = test::screen_dpi(), other = dpi == 96 ? 144 : 96; // pointers come in 32, 48 and 64 pixels
    CHECK(widths() == std::vector{32 * dpi / 96, 16 * dpi / 96, 32 * dpi / 96});
    RECT at{};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&at));
    CHECK(widths() == std::vector{32 * other / 96, 16 * other / 96, 32 * other / 96});
}

}
