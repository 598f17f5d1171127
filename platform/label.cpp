#include "label.h"

#include "form.h"

namespace platform {

Label::Label(Form& form, LabelLayout layout)
    : Control(form, layout.place), layout_(std::move(layout)), caption_(layout_.caption), fore_(layout_.fore),
      font_(layout_.font)
{
}

void Label::set_bounds(Rect box)
{
    if (box == bounds())
        return;
    const Rect old = bounds();
    set_place_bounds(box);
    form().label_changed(*this, old);
}

void Label::set_caption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    form().label_changed(*this, bounds());
}

void Label::set_left(float left)
{
    Rect moved = bounds();
    moved.left = left;
    set_bounds(moved);
}

void Label::set_visible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    form().label_changed(*this, bounds());
}

void Label::set_fore_color(Color color)
{
    if (color == fore_)
        return;
    fore_ = color;
    form().label_changed(*this, bounds());
}

void Label::set_font_underline(bool underline)
{
    if (underline == font_.underline)
        return;
    font_.underline = underline;
    form().label_changed(*this, bounds());
}

void Label::fit_to_text(Size text)
{
    if (!layout_.auto_size)
        return;
    Rect fitted = bounds();
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
    set_place_bounds(layout_.place.bounds);
    visible_ = true;
    fore_ = layout_.fore;
    font_ = layout_.font;
}

} // namespace platform
