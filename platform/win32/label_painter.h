#pragma once
#include "fonts.h"
#include "platform/form.h"
#include "platform/label.h"
#include "windows_api.h"

namespace platform::win32 {

// Where a label with these bounds is drawn, in pixels. A label fitted to its text is at least as
// large as the text was measured.
RECT label_box(const Rect& bounds, bool fitted_to_text, Dpi dpi);
RECT label_box(const Label& label, Dpi dpi);

// Draws one label inside its box, which it never paints beyond.
void paint_label(HDC dc, const Label& label, FontCache& fonts);

// Draws what the form itself shows within the area (client pixels): its back colour, then its
// visible labels from the bottom of the stack to the top.
void paint_form_surface(HDC dc, const Form& form, FontCache& fonts, const RECT& area);

} // namespace platform::win32
