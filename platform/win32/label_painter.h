#pragma once
#include "fonts.h"
#include "platform/form.h"
#include "platform/label.h"
#include "windows_api.h"

namespace platform::win32 {

// Draws one label inside its bounds, which it never paints beyond.
void paint_label(HDC dc, const Label& label, FontCache& fonts);

// Draws what the form itself shows within the area (client pixels): its back colour, then its
// visible labels from the bottom of the stack to the top.
void paint_form_surface(HDC dc, const Form& form, FontCache& fonts, const RECT& area);

} // namespace platform::win32
