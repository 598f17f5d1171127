#include "native_controls.h"

#include "platform/check_box.h"
#include "platform/failure.h"
#include "platform/file_list_box.h"
#include "platform/scroll_bar.h"
#include "platform/timer.h"

namespace platform::win32 {

std::unique_ptr<NativeControl> make_native_control(Control& control, HWND form_window, int id)
{
    if (auto* list = dynamic_cast<FileListBox*>(&control))
        return make_list_box(*list, form_window, id);
    if (auto* check = dynamic_cast<CheckBox*>(&control))
        return make_check_box(*check, form_window, id);
    if (auto* scroll = dynamic_cast<ScrollBar*>(&control))
        return make_scroll_bar(*scroll, form_window, id);
    if (auto* timer = dynamic_cast<Timer*>(&control))
        return make_timer(*timer, form_window, id);
    return nullptr;
}

HWND make_child(const wchar_t* window_class, DWORD style, HWND form_window, int id)
{
    const HWND child =
        CreateWindowExW(0, window_class, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, form_window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form_window, GWLP_HINSTANCE)), nullptr);
    if (!child)
        throw Failure("Cannot make a window for a control");
    return child;
}

} // namespace platform::win32
