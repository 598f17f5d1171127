#pragma once
#include <cstdint>
#include <string>

#include "control.h"
#include "look.h"

namespace platform {

struct ScrollBarLayout {
    Place place;
    std::int16_t min = 0, max = 32767, value = 0;
};

// A bounded 16-bit number store that is also a control.
class ScrollBar : public Control {
public:
    ScrollBar(Form& form, ScrollBarLayout layout);

    std::int16_t min() const { return min_; }
    std::int16_t max() const { return max_; }
    std::int16_t value() const { return value_; }
    void set_min(std::int16_t min);
    void set_max(std::int16_t max);
    // Fails on a value outside the range between minimum and maximum.
    void set_value(std::int16_t value);

    void reset() override;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }

private:
    ScrollBarLayout layout_;
    std::int16_t min_, max_, value_;
};

} // namespace platform
