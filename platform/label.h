#pragma once
#include <functional>
#include <string>

#include "control.h"
#include "look.h"

namespace platform {

struct LabelLayout {
    Place place;
    std::string caption;
    Color fore = colors::button_text;
    Color back = colors::button_face;
    BackStyle back_style = BackStyle::opaque;
    Alignment alignment = Alignment::left;
    Border border = Border::none;
    bool auto_size = false; // width follows the caption's measured width
    Font font;
    Pointer pointer = Pointer::arrow;
};

struct MouseEvent {
    int button = 0;
    int shift = 0;
    float x = 0, y = 0; // twips, relative to the label
};

// Windowless: the form draws it, in stacking order under its windowed controls, and hands it
// the pointer when it is the topmost visible label under it.
class Label : public Control {
public:
    Label(Form& form, LabelLayout layout);

    const std::string& caption() const { return caption_; }
    void set_caption(std::string caption);
    float left() const { return bounds().left; }
    void set_left(float left);
    float width() const { return bounds().width; }
    bool visible() const { return visible_; }
    void set_visible(bool visible);
    Color fore_color() const { return fore_; }
    void set_fore_color(Color color);
    const Font& font() const { return font_; }
    void set_font_underline(bool underline);

    Color back_color() const { return layout_.back; }
    BackStyle back_style() const { return layout_.back_style; }
    Alignment alignment() const { return layout_.alignment; }
    Border border() const { return layout_.border; }
    bool auto_size() const { return layout_.auto_size; }
    Pointer pointer() const { return layout_.pointer; }

    std::function<void()> on_click;
    std::function<void(const MouseEvent&)> on_mouse_move;

    void reset() override;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }

private:
    friend class Form;
    friend class WindowSide;

    // Once the window can measure text: an auto-sized label takes its text's size.
    void fit_to_text(Size text);
    void click();
    void mouse_move(const MouseEvent& event);
    void set_bounds(Rect bounds);

    LabelLayout layout_;
    std::string caption_;
    bool visible_ = true;
    Color fore_;
    Font font_;
};

} // namespace platform
