#include "scroll_bar.h"

#include <algorithm>

#include "failure.h"

namespace platform {

ScrollBar::ScrollBar(Form& form, ScrollBarLayout layout)
    : Control(form, layout.place), layout_(std::move(layout)), min_(layout_.min), max_(layout_.max),
      value_(layout_.value)
{
}

// The range may be given either way round; the value is kept within it.
void ScrollBar::set_min(std::int16_t min)
{
    min_ = min;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    changed();
}

void ScrollBar::set_max(std::int16_t max)
{
    max_ = max;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    changed();
}

void ScrollBar::set_value(std::int16_t value)
{
    if (value < std::min(min_, max_) || value > std::max(min_, max_))
        throw Failure("Invalid property value");
    value_ = value;
    changed();
}

void ScrollBar::reset()
{
    min_ = layout_.min;
    max_ = layout_.max;
    value_ = layout_.value;
}

} // namespace platform
