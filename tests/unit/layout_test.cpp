#include <doctest.h>

#include <cstdio>

#include "fake/fake_platform.h"
#include "main_window/frm_main.h"
#include "info_window/frm_info.h"

using namespace platform;

namespace {

std::string num(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

std::string color(Color c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(c));
    return c == colors::button_text ? "button-text" : c == colors::button_face ? "button-face" : text;
}

std::string look(const Font& f) { return " " + f.name + " " + num(f.points) + (f.bold ? " bold" : ""); }

std::string place(const std::string& name, const Rect& r, int tab)
{
    return name + " " + num(r.left) + " " + num(r.top) + " " + num(r.width) + " " + num(r.height) + " tab " +
           std::to_string(tab);
}

std::string describe(const Form& f)
{
    const FormLayout& l = f.layout();
    return l.name + " '" + l.caption + "' " + num(l.client_width) + "x" + num(l.client_height) +
           (l.border == BorderStyle::fixed_single ? " single" : " tool-window") + (l.min_button ? " min" : "") +
           (l.max_button ? " max" : "") +
           (l.start == StartPosition::center_screen ? " centre-screen" : " centre-owner") + " back " + color(l.back) +
           (l.has_icon ? " icon" : "") + (l.in_taskbar ? " taskbar" : "");
}

std::string describe(const Label& l)
{
    const char* const alignments[] = {"left", "centre", "right"};
    return place(l.name(), l.bounds(), l.tab_index()) + " '" + l.caption() + "' fore " + color(l.fore_color()) +
           (l.back_style() == BackStyle::opaque ? " back " + color(l.back_color()) : " transparent") + " " +
           alignments[static_cast<int>(l.alignment())] + (l.border() == Border::single ? " framed" : "") +
           (l.auto_size() ? " auto-size" : "") + look(l.font()) +
           (l.pointer() == Pointer::program ? " program-pointer" : "");
}

struct Describe : ControlVisitor {
    std::string text;
    void visit(CheckBox& check) override
    {
        const CheckBoxLayout& l = check.layout();
        text = place(check.name(), check.bounds(), check.tab_index()) + " '" + l.caption + "'" +
               (check.value() == CheckValue::ticked ? " ticked" : "") + " fore " + color(l.fore) + " back " +
               color(l.back) + look(l.font);
    }
    void visit(FileListBox& list) override
    {
        text = place(list.name(), list.bounds(), list.tab_index()) + " '" + list.pattern() + "'" + look(list.font());
    }
    void visit(ScrollBar& scroll) override
    {
        text = place(scroll.name(), scroll.bounds(), scroll.tab_index()) + " " + std::to_string(scroll.min()) + ".." +
               std::to_string(scroll.max()) + " = " + std::to_string(scroll.value());
    }
    void visit(Timer& timer) override
    {
        text = timer.name() + " interval " + std::to_string(timer.interval()) + (timer.enabled() ? " enabled" : "");
    }
};

std::string describe(Control& c)
{
    Describe d;
    c.accept(d);
    return d.text;
}

} // namespace

// The windows as laid out, before anything loads them: one line a window and a control, in
// stacking order. This is the one place the layouts' values are pinned; the Win32 layout suite
// states none of them, and checks only that the real windows show whatever their forms lay out.
TEST_CASE("the windows' settings and their controls, topmost first")
{
    fake::Platform p = fake::game_folder({});
    frmMain main(p);
    frmInfo info(p);
    const std::vector<std::string> expected = {
        "frmMain 'App Title' 2295x4800 single min centre-screen back 000000 icon taskbar",
        "chkSwitches 120 3840 2055 375 tab 5 'Extract from BIF.' ticked fore E0E0E0 back 000000 MS Sans Serif 9.75 "
        "bold",
        "Timer1 interval 0 enabled",
        "filSource 120 360 2055 3405 tab 0 '*.bif' MS Sans Serif 8.25",
        "HScroll1 480 3120 1215 255 tab 2 0..32767 = 0",
        "lblCount 0 60 2295 375 tab 4 'File Count:' fore 0000C0 transparent centre MS Sans Serif 12 bold",
        "cmdClick 0 4200 2295 615 tab 3 'Label1' fore button-text transparent left MS Sans Serif 8.25 program-pointer",
        "cmdInfo -510 4320 4155 300 tab 1 'CLICK HERE FOR INFORMATION' fore 00C000 transparent centre auto-size "
        "MS Sans Serif 12 bold",
        "frmInfo 'About: Vintrel' 4575x5685 tool-window centre-owner back 000000",
        "lblMask 0 0 4575 5295 tab 4 '' fore button-text transparent left MS Sans Serif 8.25",
        "Label1 120 480 4335 1695 tab 3 'For this front-end to work, you must place it in the SAME folder as the BIF "
        "files.  This folder should also contain a copy of \"biftool.exe\" and the file \"chitin.key\" needs to be in "
        "the folder one level up.  For best results when only listing the contents of a BIF set your DOS box window to "
        "display 50 lines of text.  You may need to use a quick press of the \"PAUSE\" key on your keyboard to catch "
        "the beginning of a long listing.' fore button-text back button-face centre framed MS Sans Serif 8.25",
        "lblQarvel 120 5400 4335 255 tab 0 'Click Here to visit the Qarvel Web Site' fore 000080 transparent centre "
        "MS Sans Serif 9.75 bold program-pointer",
        "lblTitle 120 120 4335 615 tab 2 'App.Title' fore 03BBE9 transparent centre MS Sans Serif 12 bold",
        "lblC 480 4800 3615 495 tab 1 '" + info.lblC.caption() + "' fore 008080 transparent centre MS Sans Serif 8.25",
        "Label2 480 4080 3615 495 tab 5 '" + info.Label2.caption() +
            "' fore button-text back button-face centre framed MS Sans Serif 8.25",
        "Label3 120 2280 4335 1695 tab 6 'This tool will work on any of the Infinity Engine games as long as you "
        "follow "
        "the file placement guidelines mentioned above.  Note that when extracting files from BIFs, at times the "
        "resulting files will have incorrect file extentions due to the way they were listed in \"chitin.key\".  "
        "Examples are some of the *.2DA files which (with this tool) get named with a *.LUA extension, you must "
        "manually rename these with the *.2DA extension.  These occurrances are usually obvious.' fore button-text "
        "back button-face centre framed MS Sans Serif 8.25",
    };
    std::vector<std::string> actual;
    for (const Form* form : {static_cast<const Form*>(&main), static_cast<const Form*>(&info)}) {
        actual.push_back(describe(*form));
        for (Control* control : form->controls())
            actual.push_back(describe(*control));
        for (const Label* label : form->labels())
            actual.push_back(describe(*label));
    }
    REQUIRE(actual.size() == expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        CHECK(actual[i] == expected[i]);
}
