#include "frm_info.h"

#include "platform/platform.h"

using namespace platform;

void frmInfo::Form_Load()
{
    const AppFacts& app = platform().app();
    lblTitle.set_caption(app.title + " v" + std::to_string(app.major) + "." + std::to_string(app.minor) + "." +
                         std::to_string(app.revision));
}

void frmInfo::lblQarvel_MouseMove()
{
    lblQarvel.set_font_underline(true);
    lblQarvel.set_fore_color(link_hot);
}

void frmInfo::lblMask_MouseMove()
{
    lblQarvel.set_font_underline(false);
    lblQarvel.set_fore_color(link_cold);
}

// "start" is a shell built-in on Windows, not a program, so where it cannot be started the
// shell's own URL handler opens the address; the user hears of it only if both fail.
void frmInfo::lblQarvel_Click()
{
    const std::string address = web_site;
    try {
        platform().start_process("start " + address, ShowMode::hidden, platform().app().folder);
        return;
    } catch (const std::exception&) {
    }
    try {
        platform().open_address(address);
    } catch (const std::exception&) {
        platform().message_box(*this, "The web site " + address + " could not be opened.", platform().app().title);
    }
}

void frmInfo::lblMask_Click() { hide(); }
