#include "platform/win32/painting/label_images.h"

#include <algorithm>
#include <cstddef>

#include "platform/win32/painting/colors.h"
#include "platform/win32/painting/fill.h"
#include "platform/win32/painting/label_painter.h"

namespace platform::win32 {
namespace {

// A colour as a pixel of a 32-bit bitmap: blue in the low byte.
std::uint32_t pixel_of(COLORREF color)
{
    return (std::uint32_t{GetRValue(color)} << 16) | (std::uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

// Far from the colour in every channel, so that any touch of the text leaves a pixel unlike it.
COLORREF ground_for(COLORREF color)
{
    const auto opposite = [](BYTE channel) { return static_cast<BYTE>(channel < 128 ? 255 : 0); };
    return RGB(opposite(GetRValue(color)), opposite(GetGValue(color)), opposite(GetBValue(color)));
}

} // namespace

LabelImages::Picture::Picture(SIZE size) : dc_(CreateCompatibleDC(nullptr))
{
    if (!dc_)
        return;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_)
        return;
    in_.emplace(dc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
}

bool LabelImages::Look::shows(const Label& label, const RECT& box, int scale) const
{
    return width == box.right - box.left && height == box.bottom - box.top && dpi == scale &&
           fore == to_colorref(label.fore_color()) && back == to_colorref(label.back_color()) &&
           caption == label.caption() && font == label.font() && back_style == label.back_style() &&
           border == label.border() && alignment == label.alignment() && auto_size == label.auto_size();
}

LabelImages::Look LabelImages::look_of(const Label& label, const RECT& box, const FontCache& fonts)
{
    return {label.caption(),
            label.font(),
            to_colorref(label.fore_color()),
            to_colorref(label.back_color()),
            label.back_style(),
            label.border(),
            label.alignment(),
            label.auto_size(),
            box.right - box.left,
            box.bottom - box.top,
            fonts.dpi().value};
}

LabelImages::Kept LabelImages::make(const Label& label, const RECT& box, FontCache& fonts)
{
    Kept kept{&label, look_of(label, box, fonts)};
    const SIZE size{kept.look.width, kept.look.height};
    auto ink = std::make_unique<Picture>(size);
    if (!ink->dc())
        return kept;
    const COLORREF ground = ground_for(kept.look.fore);
    fill(ink->dc(), RECT{0, 0, size.cx, size.cy}, ground);
    SetViewportOrgEx(ink->dc(), -box.left, -box.top, nullptr);
    paint_label(ink->dc(), label, fonts);
    SetViewportOrgEx(ink->dc(), 0, 0, nullptr);
    GdiFlush();
    if (label.back_style() == BackStyle::transparent) {
        auto mask = std::make_unique<Picture>(size);
        if (!mask->dc())
            return kept;
        const std::uint32_t untouched = pixel_of(ground), text = pixel_of(kept.look.fore);
        RECT inked{size.cx, size.cy, 0, 0};
        for (LONG y = 0; y < size.cy; ++y) {
            for (LONG x = 0; x < size.cx; ++x) {
                const std::size_t i = std::size_t(y) * std::size_t(size.cx) + std::size_t(x);
                const std::uint32_t drawn = ink->bits()[i] & 0xFFFFFFu;
                if (drawn == untouched) {
                    mask->bits()[i] = 0xFFFFFFFFu;
                    ink->bits()[i] = 0;
                } else if (drawn == text) {
                    mask->bits()[i] = 0;
                    inked = {std::min(inked.left, x), std::min(inked.top, y), std::max(inked.right, x + 1),
                             std::max(inked.bottom, y + 1)};
                } else {
                    return kept; // a shade: only the text drawn over what lies under it gives it
                }
            }
        }
        kept.mask = std::move(mask);
        // Only where there is ink is anything laid: the click strip's few letters cost the banner's
        // tick nothing where it passes clear of them.
        kept.inked = inked.left < inked.right ? inked : RECT{};
    } else {
        kept.inked = {0, 0, size.cx, size.cy};
    }
    kept.ink = std::move(ink);
    kept.exact = true;
    return kept;
}

const LabelImages::Picture* LabelImages::laid_over(Kept& kept, COLORREF ground)
{
    if (!kept.over || kept.over_color != ground) {
        const SIZE size{kept.look.width, kept.look.height};
        auto over = std::make_unique<Picture>(size);
        if (!over->dc())
            return nullptr;
        const std::uint32_t under = pixel_of(ground);
        const std::size_t count = std::size_t(size.cx) * std::size_t(size.cy);
        for (std::size_t i = 0; i < count; ++i)
            over->bits()[i] = kept.mask->bits()[i] ? under : kept.ink->bits()[i];
        kept.over = std::move(over);
        kept.over_color = ground;
    }
    return kept.over.get();
}

bool LabelImages::draw(HDC dc, const Label& label, const RECT& box, const RECT& area, FontCache& fonts,
                       std::optional<COLORREF> ground)
{
    RECT part;
    if (!IntersectRect(&part, &box, &area))
        return true;
    const int scale = fonts.dpi().value;
    auto found = std::find_if(kept_.begin(), kept_.end(),
                              [&](const Kept& k) { return k.label == &label && k.look.shows(label, box, scale); });
    if (found == kept_.end()) {
        const auto own = [&](const Kept& k) { return k.label == &label; };
        if (std::count_if(kept_.begin(), kept_.end(), own) >= 2)
            kept_.erase(std::find_if(kept_.begin(), kept_.end(), own)); // the older
        kept_.push_back(make(label, box, fonts));
        found = kept_.end() - 1;
    }
    if (!found->exact)
        return false;
    RECT inked = found->inked, laid;
    OffsetRect(&inked, box.left, box.top);
    if (!IntersectRect(&laid, &part, &inked))
        return true;
    part = laid;
    const int width = part.right - part.left, height = part.bottom - part.top;
    const int x = part.left - box.left, y = part.top - box.top;
    if (!found->mask)
        return BitBlt(dc, part.left, part.top, width, height, found->ink->dc(), x, y, SRCCOPY);
    // Over one colour alone one copy does what the mask and the ink do in two passes.
    if (const Picture* over = ground ? laid_over(*found, *ground) : nullptr)
        return BitBlt(dc, part.left, part.top, width, height, over->dc(), x, y, SRCCOPY);
    // Where the mask is white what lies under stays; where it is black the ink's colour goes in.
    return BitBlt(dc, part.left, part.top, width, height, found->mask->dc(), x, y, SRCAND) &&
           BitBlt(dc, part.left, part.top, width, height, found->ink->dc(), x, y, SRCPAINT);
}

} // namespace platform::win32
