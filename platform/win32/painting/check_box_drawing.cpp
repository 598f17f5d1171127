#include "platform/win32/painting/check_box_drawing.h"

#include <algorithm>

#include "platform/win32/painting/fill.h"
#include "platform/win32/base.h"

namespace platform::win32 {
namespace {

void draw_tick(HDC dc, const RECT& inside, COLORREF color)
{
    const int size = inside.right - inside.left;
    const GdiPen pen(CreatePen(PS_SOLID, std::max(2, size / 5), color));
    const Selection chosen(dc, pen.get());
    const POINT stroke[] = {
        {inside.left + size * 2 / 9, inside.top + size / 2},
        {inside.left + size * 4 / 9, inside.top + size * 7 / 10},
        {inside.left + size * 7 / 9, inside.top + size * 3 / 10},
    };
    Polyline(dc, stroke, 3);
}

} // namespace

void draw_check_box(HDC dc, const RECT& area, const CheckBoxLook& look)
{
    fill(dc, area, look.back);

    const int box_size = MulDiv(13, look.dpi.value, 96);
    const int area_height = area.bottom - area.top;
    RECT box{area.left, area.top + (area_height - box_size) / 2, area.left + box_size, 0};
    box.bottom = box.top + box_size;

    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const bool dim = look.pressed || look.value == CheckValue::grayed || !look.enabled;
    fill(dc, box, GetSysColor(dim ? COLOR_BTNFACE : COLOR_WINDOW));
    if (look.value == CheckValue::ticked)
        draw_tick(dc, box, GetSysColor(look.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    else if (look.value == CheckValue::grayed)
        draw_tick(dc, box, GetSysColor(COLOR_GRAYTEXT));

    if (look.caption.empty())
        return;
    const Selection font(dc, look.font);
    const int gap = MulDiv(4, look.dpi.value, 96);
    RECT text{area.left + box_size + gap, area.top, area.right, area.bottom};
    RECT measured = text;
    const UINT flags = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
    DrawTextW(dc, look.caption.c_str(), static_cast<int>(look.caption.size()), &measured, flags | DT_CALCRECT);
    const int text_height = measured.bottom - measured.top;
    if (text_height < area_height) {
        text.top = area.top + (area_height - text_height) / 2;
        text.bottom = text.top + text_height;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.enabled ? look.fore : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, look.caption.c_str(), static_cast<int>(look.caption.size()), &text, flags);

    if (look.focused) {
        RECT focus{text.left - 1, text.top, std::min(text.left + (measured.right - measured.left) + 1, area.right),
                   text.bottom};
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &focus);
    }
}

} // namespace platform::win32
