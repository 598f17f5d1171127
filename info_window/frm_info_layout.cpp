#include "frm_info.h"

using namespace platform;

namespace {

FormLayout info_layout()
{
    FormLayout l;
    l.name = "frmInfo";
    l.caption = "About: Vintrel";
    l.client_width = 4575;
    l.client_height = 5685;
    l.border = BorderStyle::fixed_tool_window;
    l.min_button = false;
    l.max_button = false;
    l.start = StartPosition::center_owner;
    l.back = colors::black;
    l.has_icon = false;
    l.in_taskbar = false;
    return l;
}

// A framed box of text in the system's colours.
LabelLayout text_box(const char* name, Rect bounds, int tab_index, const char* caption)
{
    return {.place = {name, bounds, tab_index},
            .caption = caption,
            .fore = colors::button_text,
            .back = colors::button_face,
            .back_style = BackStyle::opaque,
            .alignment = Alignment::center,
            .border = Border::single,
            .font = sans_serif(8.25f)};
}

const char* const instructions =
    "For this front-end to work, you must place it in the SAME folder as the BIF files.  This folder should also "
    "contain a copy of \"biftool.exe\" and the file \"chitin.key\" needs to be in the folder one level up.  For best "
    "results when only listing the contents of a BIF set your DOS box window to display 50 lines of text.  You may "
    "need to use a quick press of the \"PAUSE\" key on your keyboard to catch the beginning of a long listing.";

const char* const notes =
    "This tool will work on any of the Infinity Engine games as long as you follow the file placement guidelines "
    "mentioned above.  Note that when extracting files from BIFs, at times the resulting files will have incorrect "
    "file extentions due to the way they were listed in \"chitin.key\".  Examples are some of the *.2DA files which "
    "(with this tool) get named with a *.LUA extension, you must manually rename these with the *.2DA extension.  "
    "These occurrances are usually obvious.";

const char* const credits = "With thanks to the authors of \"biftool.exe\" and \"itmtool.exe\".";

const char* const copyright = "Copyright \xC2\xA9 the Vintrel authors. Free to use and share.";

} // namespace

// A layout reads best as a table, one control to a few lines.
// clang-format off
frmInfo::frmInfo(Platform& platform)
    : Form(platform, info_layout()),
      lblMask(*this, {.place = {"lblMask", {0, 0, 4575, 5295}, 4}, .caption = "",
                      .back_style = BackStyle::transparent}),
      Label1(*this, text_box("Label1", {120, 480, 4335, 1695}, 3, instructions)),
      lblQarvel(*this, {.place = {"lblQarvel", {120, 5400, 4335, 255}, 0},
                        .caption = "Click Here to visit the Qarvel Web Site", .fore = link_cold, .back = colors::black,
                        .back_style = BackStyle::transparent, .alignment = Alignment::center,
                        .font = sans_serif(9.75f, true), .pointer = Pointer::program}),
      lblTitle(*this, {.place = {"lblTitle", {120, 120, 4335, 615}, 2}, .caption = "App.Title",
                       .fore = 0x03BBE9, .back = colors::black, .back_style = BackStyle::transparent,
                       .alignment = Alignment::center, .font = sans_serif(12, true)}),
      lblC(*this, {.place = {"lblC", {480, 4800, 3615, 495}, 1}, .caption = copyright,
                   .fore = 0x008080, .back = colors::black, .back_style = BackStyle::transparent,
                   .alignment = Alignment::center, .font = sans_serif(8.25f)}),
      Label2(*this, text_box("Label2", {480, 4080, 3615, 495}, 5, credits)),
      Label3(*this, text_box("Label3", {120, 2280, 4335, 1695}, 6, notes))
// clang-format on
{
    add(lblMask);
    add(Label1);
    add(lblQarvel);
    add(lblTitle);
    add(lblC);
    add(Label2);
    add(Label3);

    lblQarvel.on_mouse_move = [this](const MouseEvent&) { lblQarvel_MouseMove(); };
    lblMask.on_mouse_move = [this](const MouseEvent&) { lblMask_MouseMove(); };
    lblQarvel.on_click = [this] { lblQarvel_Click(); };
    lblMask.on_click = [this] { lblMask_Click(); };
}
