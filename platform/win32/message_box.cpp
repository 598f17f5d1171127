#include "message_box.h"

#include "text.h"
#include "windows_api.h"

namespace platform::win32 {

void message_box(const std::string& text, const std::string& title)
{
    MessageBoxW(GetActiveWindow(), widen(text).c_str(), widen(title).c_str(), MB_OK);
}

} // namespace platform::win32
