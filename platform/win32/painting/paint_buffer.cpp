#include "platform/win32/painting/paint_buffer.h"

#include <algorithm>
#include <cstdint>

namespace platform::win32 {

PaintBuffer::View::View(HANDLE pixels, SIZE size) : dc_(CreateCompatibleDC(nullptr))
{
    if (!dc_)
        return;
    // Top-down 32-bit rows over the shared section: every view sees every other's drawing.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, pixels, 0));
    if (!bitmap_)
        return;
    bitmap_in_.emplace(dc_.get(), bitmap_.get());
}

bool PaintBuffer::prepare(int width, int height, SIZE room, POINT corner)
{
    if (!pixels_ || size_.cx < width || size_.cy < height) {
        release();
        const SIZE size{std::max<LONG>(width, room.cx), std::max<LONG>(height, room.cy)};
        const std::uint64_t bytes = std::uint64_t(size.cx) * std::uint64_t(size.cy) * 4;
        pixels_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                         static_cast<DWORD>(bytes), nullptr));
        if (!pixels_)
            return false;
        size_ = size;
        if (!add_view()) {
            release();
            return false;
        }
    }
    corner_ = corner;
    return true;
}

HDC PaintBuffer::View::at(POINT corner)
{
    if (corner.x != corner_.x || corner.y != corner_.y) {
        SetViewportOrgEx(dc_.get(), -corner.x, -corner.y, nullptr);
        corner_ = corner;
    }
    return dc();
}

HDC PaintBuffer::dc() { return views_.front().second->at(corner_); }

HDC PaintBuffer::dc_with(HFONT font)
{
    if (!font)
        return dc();
    for (const auto& [chosen, view] : views_) {
        if (chosen == font)
            return view->at(corner_);
    }
    View* view = add_view();
    if (!view) {
        // Where no view can be made, the plain one takes the font for this once.
        views_.front().second->use(font);
        return dc();
    }
    view->use(font);
    views_.back().first = font;
    return view->at(corner_);
}

PaintBuffer::View* PaintBuffer::add_view()
{
    auto view = std::make_unique<View>(pixels_.get(), size_);
    if (!view->dc())
        return nullptr;
    return views_.emplace_back(nullptr, std::move(view)).second.get();
}

void PaintBuffer::release()
{
    views_.clear();
    pixels_.reset();
    size_ = {};
}

} // namespace platform::win32
