#pragma once
// An owned Windows file handle.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

namespace bif::win32 {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        std::swap(h_, other.h_);
        return *this;
    }
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    // False when the system reports an error closing it.
    bool close()
    {
        HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h == INVALID_HANDLE_VALUE || h == nullptr || CloseHandle(h);
    }

private:
    HANDLE h_;
};

} // namespace bif::win32
