#include "frm_main.h"

#include "info_window/frm_info.h"

using namespace platform;

namespace {

FormLayout main_layout()
{
    FormLayout l;
    l.name = "frmMain";
    l.caption = "App Title";
    l.client_width = 2295;
    l.client_height = 4800;
    l.border = BorderStyle::fixed_single;
    l.min_button = true;
    l.max_button = false;
    l.start = StartPosition::center_screen;
    l.back = colors::black;
    l.has_icon = true;
    l.in_taskbar = true;
    return l;
}

} // namespace

// A layout reads best as a table, one control to a few lines.
// clang-format off
frmMain::frmMain(Platform& platform)
    : Form(platform, main_layout()),
      chkSwitches(*this, {.place = {"chkSwitches", {120, 3840, 2055, 375}, 5},
                          .caption = "Extract from BIF.", .value = CheckValue::ticked, .fore = 0xE0E0E0,
                          .back = colors::black, .font = sans_serif(9.75f, true)}),
      Timer1(*this, {.name = "Timer1", .interval = 0, .enabled = true}),
      filSource(*this, {.place = {"filSource", {120, 360, 2055, 3405}, 0}, .pattern = "*.bif",
                        .font = sans_serif(8.25f)}),
      HScroll1(*this, {.place = {"HScroll1", {480, 3120, 1215, 255}, 2}, .min = 0, .max = 32767,
                       .value = 0}),
      lblCount(*this, {.place = {"lblCount", {0, 60, 2295, 375}, 4}, .caption = "File Count:",
                       .fore = 0x0000C0, .back = colors::black, .back_style = BackStyle::transparent,
                       .alignment = Alignment::center, .font = sans_serif(12, true)}),
      cmdClick(*this, {.place = {"cmdClick", {0, 4200, 2295, 615}, 3}, .caption = "Label1",
                       .fore = colors::button_text, .back = colors::black, .back_style = BackStyle::transparent,
                       .alignment = Alignment::left, .font = sans_serif(8.25f), .pointer = Pointer::program}),
      cmdInfo(*this, {.place = {"cmdInfo", {-510, 4320, 4155, 300}, 1},
                      .caption = "CLICK HERE FOR INFORMATION", .fore = 0x00C000, .back = colors::black,
                      .back_style = BackStyle::transparent, .alignment = Alignment::center, .auto_size = true,
                      .font = sans_serif(12, true)})
// clang-format on
{
    add(chkSwitches);
    add(Timer1);
    add(filSource);
    add(HScroll1);
    add(lblCount);
    add(cmdClick);
    add(cmdInfo);

    filSource.on_double_click = [this] { filSource_DblClick(); };
    Timer1.on_tick = [this] { Timer1_Timer(); };
    cmdClick.on_click = [this] { cmdClick_Click(); };
}

frmMain::~frmMain() = default;
