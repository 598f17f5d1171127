#include "paint_buffer.h"

#include <algorithm>

namespace platform::win32 {

HDC PaintBuffer::get(HDC target, int width, int height, SIZE room)
{
    if (dc_ && size_.cx >= width && size_.cy >= height)
        return dc_.get();
    release();
    const int buffer_width = std::max<int>(width, room.cx), buffer_height = std::max<int>(height, room.cy);
    MemoryDc dc(CreateCompatibleDC(target));
    GdiBitmap bitmap(dc ? CreateCompatibleBitmap(target, buffer_width, buffer_height) : nullptr);
    if (!bitmap)
        return nullptr;
    original_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    size_ = {buffer_width, buffer_height};
    return dc_.get();
}

void PaintBuffer::release()
{
    if (dc_ && original_)
        SelectObject(dc_.get(), original_);
    original_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    size_ = {};
}

} // namespace platform::win32
