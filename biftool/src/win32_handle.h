#pragma once
// An owned Windows file handle as the file calls answer it: INVALID_HANDLE_VALUE where there is
// none. The ownership is the shared base's; the tool adds a close that says whether it failed.
#include "win32_base/handles.h"

namespace bif::win32 {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : owned_(win32_base::valid_or_null(h)) {}
    HANDLE get() const { return owned_ ? owned_.get() : INVALID_HANDLE_VALUE; }
    HANDLE release()
    {
        const HANDLE h = owned_.release();
        return h ? h : INVALID_HANDLE_VALUE;
    }
    bool valid() const { return static_cast<bool>(owned_); }
    // False when the system reports an error closing it.
    bool close()
    {
        const HANDLE h = owned_.release();
        return h == nullptr || CloseHandle(h);
    }

private:
    win32_base::UniqueHandle owned_;
};

} // namespace bif::win32
