#include "platform/win32/controls/native_controls.h"

#include "platform/failure.h"

namespace platform::win32 {

namespace {

struct Maker : ControlVisitor {
    HWND form_window;
    int id;
    std::unique_ptr<NativeControl> made;

    Maker(HWND form_window, int id) : form_window(form_window), id(id) {}
    void visit(FileListBox& list) override { made = make_list_box(list, form_window, id); }
    void visit(CheckBox& box) override { made = make_check_box(box, form_window, id); }
    void visit(ScrollBar& bar) override { made = make_scroll_bar(bar, form_window, id); }
    void visit(Timer& timer) override { made = make_timer(timer, form_window, id); }
};

} // namespace

std::unique_ptr<NativeControl> make_native_control(Control& control, HWND form_window, int id)
{
    Maker maker(form_window, id);
    control.accept(maker);
    return std::move(maker.made);
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
