#pragma once
#include "platform/win32/painting/fonts.h"
#include "platform/form.h"
#include "platform/label.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Where a label with these bounds is drawn, in pixels. A label fitted to its text is at least as
// large as the text was measured.
RECT label_box(const Rect& bounds, bool fitted_to_text, Dpi dpi);
RECT label_box(const Label& label, Dpi dpi);

// Where a paint draws: fills and frames through one DC, a label's text through a DC that has the
// label's font selected. Each may be the same DC.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual HDC dc() = 0;
    virtual HDC dc_with(HFONT font) = 0;
};

// One DC, its fonts selected as the labels ask for them, its own font back at the end.
class DcCanvas final : public Canvas {
public:
    explicit DcCanvas(HDC dc) : dc_(dc) {}
    ~DcCanvas() override;
    DcCanvas(const DcCanvas&) = delete;
    DcCanvas& operator=(const DcCanvas&) = delete;

    HDC dc() override { return dc_; }
    HDC dc_with(HFONT font) override;

private:
    HDC dc_;
    HGDIOBJ original_ = nullptr;
    HFONT current_ = nullptr;
};

// Draws one label inside its box, which it never paints beyond.
void paint_label(HDC dc, const Label& label, FontCache& fonts);

class LabelImages;

// Draws what the form itself shows within the area (client pixels): its back colour, then its
// visible labels from the bottom of the stack to the top, copied from their kept pictures where
// there are any.
void paint_form_surface(Canvas& canvas, const Form& form, FontCache& fonts, const RECT& area,
                        LabelImages* kept = nullptr);

} // namespace platform::win32
