#pragma once
#include <string>

// The command line that starts the companion tool on an archive of the program folder. The
// tool's path and the archive name are quoted only where they hold a blank, so a path with
// blanks cannot start another program and a name with blanks reaches the tool whole.
std::string tool_command(const std::string& program_folder, const std::string& switches, const std::string& archive);
