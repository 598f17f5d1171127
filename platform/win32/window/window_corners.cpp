#include "platform/win32/window/window_corners.h"

#include "platform/win32/system/system_library.h"

namespace platform::win32 {
namespace {

// From the Windows 11 SDK, which older headers lack.
constexpr DWORD window_corner_preference = 33; // DWMWA_WINDOW_CORNER_PREFERENCE
constexpr DWORD do_not_round = 1;              // DWMWCP_DONOTROUND

} // namespace

bool ask_for_square_corners(HWND window)
{
    using SetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    // Looked up once, and kept: a system without the library has no rounded corners either.
    static const Module library = load_system_library(L"dwmapi.dll");
    static const auto set_attribute = module_function<SetWindowAttributeFn>(library, "DwmSetWindowAttribute");
    if (!set_attribute)
        return false;
    const DWORD preference = do_not_round;
    return SUCCEEDED(set_attribute(window, window_corner_preference, &preference, sizeof preference));
}

} // namespace platform::win32
