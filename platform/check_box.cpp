#include "check_box.h"

namespace platform {

CheckBox::CheckBox(Form& form, CheckBoxLayout layout)
    : Control(form, layout.place), layout_(std::move(layout)), value_(layout_.value)
{
}

void CheckBox::set_value(CheckValue value)
{
    if (value == value_)
        return;
    value_ = value;
    changed();
}

void CheckBox::toggle() { set_value(value_ == CheckValue::clear ? CheckValue::ticked : CheckValue::clear); }

void CheckBox::reset() { value_ = layout_.value; }

} // namespace platform
