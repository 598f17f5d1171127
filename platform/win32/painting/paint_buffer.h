#pragma once
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/base.h"
#include "platform/win32/painting/label_painter.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

// A bitmap to draw into before the screen, kept from one paint to the next: the banner repaints
// its strip forty times a second. Text is drawn through one DC per font, each with its font
// selected once, all onto the same pixels: under Wine selecting a font costs more than the text
// drawn with it, and each tick draws two. The buffer selects its bitmaps and fonts in and out
// itself, so none is deleted while selected.
class PaintBuffer final : public Canvas {
public:
    PaintBuffer() = default;
    ~PaintBuffer() override { release(); }
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    // Ready for a paint of at least width x height whose top left is at `corner` (client pixels),
    // grown to at least `room` when it must grow; false where the system has no room for it.
    bool prepare(int width, int height, SIZE room, POINT corner);

    // Once prepare() has answered true: the DC for fills and for the copy to the screen, and
    // the one for a font's text.
    HDC dc() override;
    HDC dc_with(HFONT font) override;

    // Lets go of the pixels and of the fonts, before the fonts are deleted.
    void release();

private:
    // A DC onto the shared pixels; its bitmap and font are selected out again before they go.
    class View {
    public:
        View(HANDLE pixels, SIZE size);
        HDC dc() const { return bitmap_ ? dc_.get() : nullptr; }
        void use(HFONT font) { font_in_.emplace(dc_.get(), font); }
        // Its drawing lands where the paint's top left is `corner`; moved only when that moved.
        HDC at(POINT corner);

    private:
        MemoryDc dc_;
        GdiBitmap bitmap_;
        std::optional<Selection> bitmap_in_, font_in_;
        POINT corner_{};
    };

    View* add_view();

    UniqueHandle pixels_;
    SIZE size_{};
    POINT corner_{};
    std::vector<std::pair<HFONT, std::unique_ptr<View>>> views_; // the first, without a font, fills
};

} // namespace platform::win32
