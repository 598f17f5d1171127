#include "platform/win32/painting/label_painter.h"

#include <algorithm>

#include "platform/win32/painting/fill.h"
#include "platform/win32/painting/colors.h"
#include "platform/win32/painting/label_images.h"
#include "platform/win32/base.h"

namespace platform::win32 {
namespace {

UINT alignment_flags(Alignment alignment)
{
    switch (alignment) {
    case Alignment::center:
        return DT_CENTER;
    case Alignment::right:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

void draw_label(Canvas& canvas, const Label& label, FontCache& fonts)
{
    RECT box = label_box(label, fonts.dpi());
    if (box.right <= box.left || box.bottom <= box.top)
        return;
    if (label.back_style() == BackStyle::opaque)
        fill(canvas.dc(), box, to_colorref(label.back_color()));
    if (label.border() == Border::single)
        DrawEdge(canvas.dc(), &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);

    const std::wstring caption = widen(label.caption());
    if (!caption.empty()) {
        const HDC dc = canvas.dc_with(fonts.get(label.font()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, to_colorref(label.fore_color()));
        // A label sized to its text is one line: wrapped, its end would fall out of the box. DrawText
        // clips to the box itself.
        const UINT lines = label.auto_size() ? DT_SINGLELINE : DT_WORDBREAK;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
                  lines | DT_NOPREFIX | alignment_flags(label.alignment()));
    }
}

} // namespace

DcCanvas::~DcCanvas()
{
    if (original_)
        SelectObject(dc_, original_);
}

// Under Wine a font selection can cost more than the text drawn with it: only a change selects.
HDC DcCanvas::dc_with(HFONT font)
{
    if (font && font != current_) {
        const HGDIOBJ previous = SelectObject(dc_, font);
        if (!original_)
            original_ = previous;
        current_ = font;
    }
    return dc_;
}

RECT label_box(const Rect& bounds, bool fitted_to_text, Dpi dpi)
{
    RECT box = dpi.to_pixels(bounds);
    // Edges rounded one by one can leave the box a pixel short of the text it was fitted to.
    if (fitted_to_text) {
        box.right = std::max<LONG>(box.right, box.left + dpi.to_pixels(bounds.width));
        box.bottom = std::max<LONG>(box.bottom, box.top + dpi.to_pixels(bounds.height));
    }
    return box;
}

RECT label_box(const Label& label, Dpi dpi) { return label_box(label.bounds(), label.auto_size(), dpi); }

void paint_label(HDC dc, const Label& label, FontCache& fonts)
{
    DcCanvas canvas(dc);
    draw_label(canvas, label, fonts);
}

void paint_form_surface(Canvas& canvas, const Form& form, FontCache& fonts, const RECT& area, LabelImages* kept)
{
    const COLORREF back = to_colorref(form.layout().back);
    fill(canvas.dc(), area, back);
    // Until a label is laid, the area is all the form's colour.
    bool plain = true;
    const auto& labels = form.labels();
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
        const Label& label = **it;
        if (!label.visible())
            continue;
        const RECT box = label_box(label, fonts.dpi());
        RECT overlap;
        if (!IntersectRect(&overlap, &box, &area))
            continue;
        const auto ground = plain ? std::optional<COLORREF>(back) : std::nullopt;
        if (!(kept && kept->draw(canvas.dc(), label, box, area, fonts, ground)))
            draw_label(canvas, label, fonts);
        plain = false;
    }
}

} // namespace platform::win32
