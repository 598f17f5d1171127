#include "platform/win32/window/dpi.h"
#include "platform/win32/controls/native_controls.h"
#include "platform/file_list_box.h"
#include "platform/win32/base.h"

namespace platform::win32 {
namespace {

// No LBS_SORT: the model's order is the list's. No integral height: the list keeps its size.
// Enter on the list does what a double-click there does: the list's own procedure hears the key
// and tells its form window as of a double-click. A key held down counts once.
class ListBoxControl : public NativeControl {
public:
    ListBoxControl(FileListBox& model, HWND form_window, int id)
        : model_(model),
          window_(make_child(L"LISTBOX", WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                             form_window, id))
    {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListBoxControl::procedure)));
    }
    ~ListBoxControl() override { detach(); }
    ListBoxControl(const ListBoxControl&) = delete;
    ListBoxControl& operator=(const ListBoxControl&) = delete;

    const Control& model() const override { return model_; }
    HWND window() const override { return window_; }
    int tab_index() const override { return model_.tab_index(); }

    void update() override
    {
        SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(window_, LB_RESETCONTENT, 0, 0);
        SendMessageW(window_, LB_INITSTORAGE, model_.count(), model_.count() * 16);
        for (const std::string& name : model_.names())
            SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(model_.selected_index()), 0);
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }

    void lay_out(FontCache& fonts) override
    {
        const RECT box = fonts.dpi().to_pixels(model_.bounds());
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.get(model_.font())), TRUE);
    }

    void notify(WORD code) override
    {
        if (code == LBN_SELCHANGE)
            WindowSide::select(model_, static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0)));
        else if (code == LBN_DBLCLK)
            WindowSide::double_click(model_);
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        auto* self = reinterpret_cast<ListBoxControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const WNDPROC original = self->original_;
        switch (message) {
        case WM_KEYDOWN:
            if (wparam != VK_RETURN)
                break;
            // Held down, it counts once; a form kept from input by a box over it hears nothing.
            if ((lparam & (1 << 30)) == 0 && IsWindowEnabled(GetParent(window)))
                SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), LBN_DBLCLK),
                             reinterpret_cast<LPARAM>(window));
            return 0;
        case WM_CHAR:
            if (wparam == L'\r')
                return 0; // the Enter just taken, as the key, not as a letter to look for
            break;
        case WM_NCDESTROY:
            self->detach();
            break;
        default:
            break;
        }
        return CallWindowProcW(original, window, message, wparam, lparam);
    }

    // The window may go before this control does, with its form window.
    void detach()
    {
        if (!window_)
            return;
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
    }

    FileListBox& model_;
    HWND window_;
    WNDPROC original_ = nullptr;
};

} // namespace

std::unique_ptr<NativeControl> make_list_box(FileListBox& model, HWND form_window, int id)
{
    return std::make_unique<ListBoxControl>(model, form_window, id);
}

} // namespace platform::win32
