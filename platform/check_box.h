#pragma once
#include <string>

#include "control.h"
#include "look.h"

namespace platform {

enum class CheckValue { clear = 0, ticked = 1, grayed = 2 };

struct CheckBoxLayout {
    Place place;
    std::string caption;
    CheckValue value = CheckValue::clear;
    Color fore = colors::button_text;
    Color back = colors::button_face;
    Font font;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, CheckBoxLayout layout);

    const CheckBoxLayout& layout() const { return layout_; }
    CheckValue value() const { return value_; }
    void set_value(CheckValue value);

    void reset() override;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }

private:
    friend class WindowSide;

    void toggle();

    CheckBoxLayout layout_;
    CheckValue value_;
};

} // namespace platform
