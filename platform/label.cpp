#include "label.h"

#include "form.h"

namespace platform {

Label::Label(Form& form, LabelLayout layout)
    : Control(form, layout.name), layout_(std::move(layout)), caption_(layout_.caption), bounds_(layout_.bounds),
      fore_(layout_.fore), font_(layout_.font)
{
}

void Label::set_bounds(Rect bounds)
{
    if (bounds == bounds_)
        return;
    const Rect old = bounds_;
    bounds_ = bounds;
    form().label_changed(*this, old);
}

void Label::set_caption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    form().label_changed(*this, bounds_);
}

void Label::set_left(float left)
{
    Rect moved = bounds_;
    moved.left = left;
    set_bounds(moved);
}

void Label::set_visible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    form().label_changed(*this, bounds_);
}

void Label::set_fore_color(Color color)
{
    if (color == fore_)
        return;
    fore_ = color;
    form().label_changed(*this, bounds_);
}

void Label::set_font_underline(bool underline)
{
    if (underline == font_.underline)
        return;
    font_.underline = underline;
    form().label_changed(*this, bounds_);
}

void Label::fit_to_text(Size text)
{
    if (!layout_.auto_size)
        return;
    Rect fitted = bounds_;
    fitted.width = text.width;
    fitted.height = text.height;
    set_bounds(fitted);
}

void Label::click() { raise(on_click); }

void Label::mouse_move(const MouseEvent& event)
{
    if (on_mouse_move)
        raise([&] { on_mouse_move(event); });
}

void Label::reset()
{
    caption_ = layout_.caption;
    bounds_ = layout_.bounds;
    visible_ = true;
    fore_ = layout_.fore;
    font_ = layout_.font;
}

} // namespace platform
