#include "dpi.h"
#include "native_controls.h"
#include "platform/file_list_box.h"
#include "text.h"

namespace platform::win32 {
namespace {

// No LBS_SORT: the model's order is the list's. No integral height: the list keeps its size.
class ListBoxControl : public NativeControl {
public:
    ListBoxControl(FileListBox& model, HWND form_window, int id)
        : model_(model),
          window_(make_child(L"LISTBOX", WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                             form_window, id))
    {
    }

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
    FileListBox& model_;
    HWND window_;
};

} // namespace

std::unique_ptr<NativeControl> make_list_box(FileListBox& model, HWND form_window, int id)
{
    return std::make_unique<ListBoxControl>(model, form_window, id);
}

} // namespace platform::win32
