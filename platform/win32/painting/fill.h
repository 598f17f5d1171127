#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

// ExtTextOut with an opaque rectangle fills without a brush to make and free. Setting the colour
// costs a call into the system even where it is the colour already; reading it costs none.
inline void fill(HDC dc, const RECT& area, COLORREF color)
{
    if (GetBkColor(dc) != color)
        SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

} // namespace platform::win32
