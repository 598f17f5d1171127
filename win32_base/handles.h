#pragma once
#include <utility>

#include "windows_api.h"

namespace win32_base {

// Sole owner of one system handle, released with the given function.
template <typename H, auto Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(H handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, H{})) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.handle_, H{}));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    // The handle, no longer owned.
    H release() { return std::exchange(handle_, H{}); }
    void reset(H handle = H{})
    {
        if (handle_ != H{})
            Release(handle_);
        handle_ = handle;
    }

private:
    H handle_{};
};

inline void close_handle(HANDLE h) { CloseHandle(h); }
inline void close_find(HANDLE h) { FindClose(h); }
inline void delete_gdi_object(HGDIOBJ h) { DeleteObject(h); }
inline void delete_dc(HDC h) { DeleteDC(h); }
inline void destroy_icon(HICON h) { DestroyIcon(h); }
inline void destroy_cursor(HCURSOR h) { DestroyCursor(h); }
inline void free_library(HMODULE h) { FreeLibrary(h); }

using UniqueHandle = Owned<HANDLE, close_handle>;
using FindHandle = Owned<HANDLE, close_find>; // never holds INVALID_HANDLE_VALUE: see valid_or_null
using GdiFont = Owned<HFONT, delete_gdi_object>;
using GdiBitmap = Owned<HBITMAP, delete_gdi_object>;
using GdiBrush = Owned<HBRUSH, delete_gdi_object>;
using GdiPen = Owned<HPEN, delete_gdi_object>;
using MemoryDc = Owned<HDC, delete_dc>;
using IconHandle = Owned<HICON, destroy_icon>;
using CursorHandle = Owned<HCURSOR, destroy_cursor>;
using Module = Owned<HMODULE, free_library>;

// Some calls answer failure with INVALID_HANDLE_VALUE instead of null.
inline HANDLE valid_or_null(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

// A window's device context, released to its window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// WM_PAINT's device context.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return paint_.hdc; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// An object selected into a device context for a scope; the previous one goes back at its end,
// so the object can be deleted safely afterwards.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace win32_base
