#pragma once
#include "win32_base/windows_api.h"

namespace platform::win32 {

constexpr const wchar_t* form_window_class_name = L"VintrelForm";

// Registers the class of the forms' windows once per process.
void register_form_window_class(HINSTANCE instance, WNDPROC procedure);

bool is_form_window(HWND window);

} // namespace platform::win32
