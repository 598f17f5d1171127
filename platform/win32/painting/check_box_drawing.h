#pragma once
#include <string>

#include "platform/win32/window/dpi.h"
#include "platform/check_box.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

struct CheckBoxLook {
    std::wstring caption;
    CheckValue value = CheckValue::clear;
    HFONT font = nullptr;
    COLORREF fore = 0, back = 0;
    Dpi dpi;
    bool pressed = false;
    bool focused = false;
    bool enabled = true;
};

// The check box drawn by the program itself: a visual style would ignore its colours, and its
// light text on black must hold on every system.
void draw_check_box(HDC dc, const RECT& area, const CheckBoxLook& look);

} // namespace platform::win32
