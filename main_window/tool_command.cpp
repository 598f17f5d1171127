#include "tool_command.h"

namespace {

std::string quoted_if_blank(const std::string& text)
{
    return text.find(' ') == std::string::npos ? text : '"' + text + '"';
}

} // namespace

std::string tool_command(const std::string& program_folder, const std::string& switches, const std::string& archive)
{
    return quoted_if_blank(program_folder + "\\biftool.exe") + " " + switches + quoted_if_blank(archive);
}
