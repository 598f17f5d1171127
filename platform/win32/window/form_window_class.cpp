#include "platform/win32/window/form_window_class.h"

#include <cwchar>

#include "platform/failure.h"

namespace platform::win32 {

void register_form_window_class(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, form_window_class_name, &existing))
        return;
    // No background brush: the window paints all of itself, through a bitmap.
    WNDCLASSEXW form_class{};
    form_class.cbSize = sizeof form_class;
    form_class.style = CS_OWNDC;
    form_class.lpfnWndProc = procedure;
    form_class.hInstance = instance;
    form_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    form_class.lpszClassName = form_window_class_name;
    if (!RegisterClassExW(&form_class))
        throw Failure("Cannot register the window class");
}

bool is_form_window(HWND window)
{
    wchar_t name[32] = {};
    return GetClassNameW(window, name, 32) > 0 && std::wcscmp(name, form_window_class_name) == 0;
}

} // namespace platform::win32
