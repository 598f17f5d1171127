#pragma once
#include "handles.h"
#include "windows_api.h"

namespace platform::win32 {

// A bitmap to draw into before the screen, kept from one paint to the next: the banner repaints
// its strip forty times a second, and a new bitmap each time is most of that work. The buffer
// selects its bitmap in and out itself, so the bitmap is never deleted while selected.
class PaintBuffer {
public:
    PaintBuffer() = default;
    ~PaintBuffer() { release(); }
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    // A memory DC compatible with the target and at least width x height, grown to at least
    // `room` when it must grow; null where the system has no room for it.
    HDC get(HDC target, int width, int height, SIZE room);

private:
    void release();

    MemoryDc dc_;
    GdiBitmap bitmap_;
    HGDIOBJ original_ = nullptr; // the DC's own bitmap, selected back before ours is deleted
    SIZE size_{};
};

} // namespace platform::win32
