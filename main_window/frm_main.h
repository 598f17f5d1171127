#pragma once
#include <memory>
#include <string>

#include "platform/check_box.h"
#include "platform/file_list_box.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/scroll_bar.h"
#include "platform/timer.h"

class frmInfo;

// The start-up window: the BIF files of the program's folder with their count, the mode check
// box, and the strip along the bottom where the information banner runs.
class frmMain : public platform::Form {
public:
    explicit frmMain(platform::Platform& platform);
    ~frmMain() override;

    // Stacking order, topmost first.
    platform::CheckBox chkSwitches;  // ticked: the tool extracts; clear: it lists
    platform::Timer Timer1;          // the banner's tick
    platform::FileListBox filSource; // the folder's BIF files; a double-click starts the tool
    platform::ScrollBar HScroll1;    // never seen (behind the list): holds the banner's position and limits
    platform::Label lblCount;        // "File Count: n"
    platform::Label cmdClick;        // the click strip over the banner, black on black: opens the information window
    platform::Label cmdInfo;         // the banner's moving text, drawn under the strip

    // The archive of the last double-click; empty until then.
    const std::string& selected_archive() const { return selected_archive_; }
    // The information window, once it has been opened.
    frmInfo* info() const { return info_.get(); }

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    void filSource_DblClick();
    void setup_banner();
    void Timer1_Timer();
    void cmdClick_Click();

    std::string selected_archive_;
    std::unique_ptr<frmInfo> info_;
};
