#pragma once
#include <string>

#include "platform/platform.h"

namespace platform::win32 {

// Starts the command line's program in a console of its own, with nothing inherited, and lets
// it run; fails where it cannot be started.
void start_process(const std::string& command_line, ShowMode mode, const std::string& working_folder);

// A program or working folder too long for the old limit goes by its short form, where it has
// one short enough; else as it is.
std::wstring within_limit(const std::wstring& path);
// The command line with its program within the limit; its arguments stay as they are.
std::wstring with_program_within_limit(std::wstring command_line);

} // namespace platform::win32
