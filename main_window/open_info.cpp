#include "frm_main.h"
#include "info_window/frm_info.h"

void frmMain::cmdClick_Click()
{
    if (!info_)
        info_ = std::make_unique<frmInfo>(platform());
    info_->show_modal(*this);
}
