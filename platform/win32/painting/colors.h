#pragma once
#include "platform/look.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// A system colour is looked up as it is now, so a change of the user's scheme shows at the next paint.
inline COLORREF to_colorref(Color color)
{
    return colors::is_system(color) ? GetSysColor(colors::system_index(color))
                                    : static_cast<COLORREF>(color & 0xFFFFFFu);
}

} // namespace platform::win32
