#include "frm_main.h"

#include "info_window/frm_info.h"
#include "platform/platform.h"

using namespace platform;

void frmMain::Form_Load()
{
    set_caption(platform().app().title);
    filSource.set_folder(platform().app().folder);
    // The true count, even past what a 16-bit count could hold.
    lblCount.set_caption("File Count: " + std::to_string(filSource.count()));
    setup_banner();
}

void frmMain::Form_Activate() { Timer1.set_enabled(true); }

void frmMain::cmdClick_Click()
{
    if (!info_)
        info_ = std::make_unique<frmInfo>(platform());
    info_->show_modal(*this);
}
