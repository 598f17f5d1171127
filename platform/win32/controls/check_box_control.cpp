#include "platform/win32/painting/check_box_drawing.h"
#include "platform/win32/painting/colors.h"
#include "platform/win32/base.h"
#include "platform/win32/controls/native_controls.h"
#include "platform/win32/painting/paint_buffer.h"
#include "platform/check_box.h"

namespace platform::win32 {
namespace {

// A real three-state check box, so the system's accessibility proxy, which reads a button's kind
// from its style, announces a check box with its state; the button holds the model's value. Its
// clicks and keys go to the model, which decides the next value. It draws itself wholly through
// custom draw (common controls 6, which the manifest asks for): a visual style would ignore its
// colours, and its light text on black must hold on every system.
class CheckBoxControl : public NativeControl {
public:
    CheckBoxControl(CheckBox& model, HWND form_window, int id)
        : model_(model), window_(make_child(L"BUTTON", WS_TABSTOP | BS_3STATE, form_window, id))
    {
        SetWindowTextW(window_, widen(model_.layout().caption).c_str());
    }

    const Control& model() const override { return model_; }
    HWND window() const override { return window_; }
    int tab_index() const override { return model_.tab_index(); }

    // The button draws itself again where its state changes.
    void update() override { SendMessageW(window_, BM_SETCHECK, static_cast<WPARAM>(model_.value()), 0); }

    void lay_out(FontCache& fonts) override
    {
        dpi_ = fonts.dpi();
        font_ = fonts.get(model_.layout().font);
        const RECT box = dpi_.to_pixels(model_.bounds());
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }

    void notify(WORD code) override
    {
        if (code == BN_CLICKED)
            WindowSide::toggle(model_);
    }

    // Drawn whole at the first stage; skipping the default there skips the rest.
    LRESULT custom_draw(const NMCUSTOMDRAW& item) override
    {
        if (item.dwDrawStage != CDDS_PREERASE && item.dwDrawStage != CDDS_PREPAINT)
            return CDRF_DODEFAULT;
        CheckBoxLook look;
        look.caption = widen(model_.layout().caption);
        look.value = model_.value();
        look.font = font_;
        look.fore = to_colorref(model_.layout().fore);
        look.back = to_colorref(model_.layout().back);
        look.dpi = dpi_;
        look.pressed = (item.uItemState & CDIS_SELECTED) != 0;
        // Hidden until the keyboard is used, where the system says so.
        look.focused =
            (item.uItemState & CDIS_FOCUS) != 0 && (SendMessageW(window_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
        look.enabled = (item.uItemState & CDIS_DISABLED) == 0;

        // Drawn whole into the kept buffer first, so it never flickers.
        RECT area{};
        GetClientRect(window_, &area);
        const int width = area.right - area.left, height = area.bottom - area.top;
        if (!buffer_.prepare(width, height, SIZE{width, height}, POINT{0, 0})) {
            draw_check_box(item.hdc, area, look);
            return CDRF_SKIPDEFAULT;
        }
        draw_check_box(buffer_.dc(), area, look);
        BitBlt(item.hdc, area.left, area.top, width, height, buffer_.dc(), 0, 0, SRCCOPY);
        return CDRF_SKIPDEFAULT;
    }

private:
    CheckBox& model_;
    HWND window_;
    HFONT font_ = nullptr;
    Dpi dpi_;
    PaintBuffer buffer_;
};

} // namespace

std::unique_ptr<NativeControl> make_check_box(CheckBox& model, HWND form_window, int id)
{
    return std::make_unique<CheckBoxControl>(model, form_window, id);
}

} // namespace platform::win32
