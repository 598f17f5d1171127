#pragma once
#include <utility>
#include <vector>

#include "platform/win32/window/dpi.h"
#include "platform/win32/base.h"
#include "platform/look.h"

namespace platform::win32 {

GdiFont make_font(const Font& font, Dpi dpi);

// The fonts one window uses at its current resolution, made once each. A change of resolution
// makes a new cache; the old one lives until nothing uses its fonts.
class FontCache {
public:
    explicit FontCache(Dpi dpi) : dpi_(dpi) {}
    Dpi dpi() const { return dpi_; }
    HFONT get(const Font& font);

private:
    Dpi dpi_;
    std::vector<std::pair<Font, GdiFont>> fonts_;
};

} // namespace platform::win32
