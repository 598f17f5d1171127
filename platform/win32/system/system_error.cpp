#include "platform/win32/system/system_error.h"

#include "platform/win32/base.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

std::string system_error_text(unsigned long code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "File not found";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
        return "Path not found";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    default:
        break;
    }
    const std::string text = system_message(code);
    return text.empty() ? "System error " + std::to_string(code) : text;
}

} // namespace platform::win32
