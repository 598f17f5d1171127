#include "check_box_drawing.h"
#include "colors.h"
#include "handles.h"
#include "native_controls.h"
#include "platform/check_box.h"
#include "text.h"

namespace platform::win32 {
namespace {

WNDPROC button_procedure = nullptr;

// An owner-drawn button is a push button to the system; this one answers for its value as a
// check box does, so other programs can read it.
LRESULT CALLBACK check_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == BM_GETCHECK) {
        const auto* model = reinterpret_cast<const CheckBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!model)
            return BST_UNCHECKED;
        switch (model->value()) {
        case CheckValue::ticked:
            return BST_CHECKED;
        case CheckValue::grayed:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
        }
    }
    return CallWindowProcW(button_procedure, window, message, wparam, lparam);
}

class CheckBoxControl : public NativeControl {
public:
    CheckBoxControl(CheckBox& model, HWND form_window, int id)
        : model_(model), window_(make_child(L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, form_window, id))
    {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&model_));
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(check_box_procedure)));
        if (!button_procedure)
            button_procedure = previous;
        SetWindowTextW(window_, widen(model_.layout().caption).c_str());
    }

    const Control& model() const override { return model_; }
    HWND window() const override { return window_; }
    int tab_index() const override { return model_.tab_index(); }

    void update() override { InvalidateRect(window_, nullptr, FALSE); }

    void lay_out(FontCache& fonts) override
    {
        dpi_ = fonts.dpi();
        font_ = fonts.get(model_.layout().font);
        const RECT box = dpi_.to_pixels(model_.bounds());
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }

    // A quick second click comes as a double-click; it toggles again, as a check box does.
    void notify(WORD code) override
    {
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
            WindowSide::toggle(model_);
    }

    void draw(const DRAWITEMSTRUCT& item) override
    {
        CheckBoxLook look;
        look.caption = widen(model_.layout().caption);
        look.value = model_.value();
        look.font = font_;
        look.fore = to_colorref(model_.layout().fore);
        look.back = to_colorref(model_.layout().back);
        look.dpi = dpi_;
        look.pressed = (item.itemState & ODS_SELECTED) != 0;
        look.focused = (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
        look.enabled = (item.itemState & ODS_DISABLED) == 0;

        // Drawn whole into a bitmap first, so it never flickers.
        const RECT area = item.rcItem;
        const int width = area.right - area.left, height = area.bottom - area.top;
        const MemoryDc memory(CreateCompatibleDC(item.hDC));
        const GdiBitmap bitmap(memory ? CreateCompatibleBitmap(item.hDC, width, height) : nullptr);
        if (!bitmap) {
            draw_check_box(item.hDC, area, look);
            return;
        }
        const Selection chosen(memory.get(), bitmap.get());
        const RECT local{0, 0, width, height};
        draw_check_box(memory.get(), local, look);
        BitBlt(item.hDC, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }

private:
    CheckBox& model_;
    HWND window_;
    HFONT font_ = nullptr;
    Dpi dpi_;
};

} // namespace

std::unique_ptr<NativeControl> make_check_box(CheckBox& model, HWND form_window, int id)
{
    return std::make_unique<CheckBoxControl>(model, form_window, id);
}

} // namespace platform::win32
