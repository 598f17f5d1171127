#include "fonts.h"

#include <algorithm>

#include "text.h"

namespace platform::win32 {

GdiFont make_font(const Font& font, Dpi dpi)
{
    LOGFONTW logfont{};
    logfont.lfHeight = -dpi.font_height(font.points);
    logfont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logfont.lfUnderline = font.underline ? TRUE : FALSE;
    logfont.lfCharSet = DEFAULT_CHARSET;
    logfont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logfont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logfont.lfQuality = DEFAULT_QUALITY;
    logfont.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = widen(font.name);
    std::copy_n(face.c_str(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), logfont.lfFaceName);
    return GdiFont(CreateFontIndirectW(&logfont));
}

HFONT FontCache::get(const Font& font)
{
    for (const auto& [logfont, handle] : fonts_) {
        if (logfont == font)
            return handle.get();
    }
    GdiFont made = make_font(font, dpi_);
    const HFONT handle = made.get();
    fonts_.emplace_back(font, std::move(made));
    return handle ? handle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace platform::win32
