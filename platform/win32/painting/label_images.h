#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/base.h"
#include "platform/win32/painting/fonts.h"
#include "platform/label.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// Labels drawn once into pictures of their own and copied from there at each paint: the banner's
// label moves at every tick, and its text drawn anew cost more than the rest of the tick. A
// picture is made again whenever anything it shows differs: caption, font, colours, the box's
// size, the scale. A label with a background of its own is copied whole; one without is kept as
// its ink and a mask of it, laid over what lies under it, which is only exact where the text is
// drawn in whole pixels of its colour (a raster face). Text drawn with shades of its colour is
// drawn as ever.
class LabelImages {
public:
    // Draws the label, whose box is `box`, within `area` of dc; false where it must be drawn as
    // ever. `ground`, where given, is the one colour all of `area` holds so far.
    bool draw(HDC dc, const Label& label, const RECT& box, const RECT& area, FontCache& fonts,
              std::optional<COLORREF> ground = std::nullopt);
    void clear() { kept_.clear(); }

private:
    // Everything a label's picture shows but where.
    struct Look {
        std::string caption;
        Font font;
        COLORREF fore = 0, back = 0;
        BackStyle back_style = BackStyle::opaque;
        Border border = Border::none;
        Alignment alignment = Alignment::left;
        bool auto_size = false;
        LONG width = 0, height = 0;
        int dpi = 0;
        // Whether the label in this box at this scale shows this.
        bool shows(const Label& label, const RECT& box, int scale) const;
    };

    // A top-down 32-bit bitmap with its own DC, selected out again before it goes.
    class Picture {
    public:
        explicit Picture(SIZE size);
        HDC dc() const { return bits_ ? dc_.get() : nullptr; }
        std::uint32_t* bits() const { return bits_; }

    private:
        MemoryDc dc_;
        GdiBitmap bitmap_;
        std::uint32_t* bits_ = nullptr;
        std::optional<Selection> in_;
    };

    struct Kept {
        const Label* label = nullptr;
        Look look;
        std::unique_ptr<Picture> ink, mask; // no mask: copied whole
        RECT inked{};                       // in the picture, where the mask lets ink through
        // The ink laid over one colour once, to be copied where the label lies on that colour alone.
        std::unique_ptr<Picture> over;
        COLORREF over_color = 0;
        bool exact = false; // false: drawn as ever
    };

    static Look look_of(const Label& label, const RECT& box, const FontCache& fonts);
    static Kept make(const Label& label, const RECT& box, FontCache& fonts);
    static const Picture* laid_over(Kept& kept, COLORREF ground);

    // A label whose box's size changes as it moves (its edges rounded one by one) keeps a picture
    // for each of its last two sizes.
    std::vector<Kept> kept_;
};

} // namespace platform::win32
