#pragma once
#include <string>

#include "platform/platform.h"

namespace platform::win32 {

// Starts the command line's program in a console of its own, with nothing inherited, and lets
// it run; fails where it cannot be started.
void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder);

} // namespace platform::win32
