#include "failure_report.h"

namespace platform::win32 {

std::string failure_text(std::string_view title, std::string_view what)
{
    std::string text(title);
    text += " has met a failure it could not handle:\n\n";
    text += what.empty() ? std::string_view("Unknown failure") : what;
    return text;
}

} // namespace platform::win32
