#include "frm_main.h"
#include "platform/platform.h"
#include "tool_command.h"

using namespace platform;

namespace {

const char* const extract_switch = "-extr ";

const std::string missing_file_text = "You are missing the file \"biftool.exe or ..\\chitin.key\".\r\n"
                                      "Please ensure biftool.exe is in the same\r\n"
                                      "folder as the BIF files and this program,\r\n"
                                      "and that chitin.key is in the folder one level up.";

} // namespace

void frmMain::filSource_DblClick()
{
    selected_archive_ = filSource.selected_name();
    // A grayed box lists, as a clear one does.
    const bool extract = chkSwitches.value() == CheckValue::ticked;
    const std::string switches = extract ? extract_switch : "";

    const std::string& folder = platform().app().folder;
    const std::string command = tool_command(folder, switches, selected_archive_);
    try {
        if (extract) {
            platform().start_process(command, ShowMode::normal_no_activate, folder);
            platform().message_box(*this, "Files were extracted!", "Done");
        } else {
            platform().start_process(command, ShowMode::normal, folder);
        }
    } catch (const std::exception&) {
        platform().message_box(*this, missing_file_text, "Missing File");
    }
}
