#pragma once
#include <functional>
#include <string>

#include "control.h"

namespace platform {

struct TimerLayout {
    std::string name;
    int interval = 0; // milliseconds; 0 does not tick
    bool enabled = true;
};

class Timer : public Control {
public:
    Timer(Form& form, TimerLayout layout);

    int interval() const { return interval_; }
    void set_interval(int milliseconds);
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    bool running() const { return enabled_ && interval_ > 0; }

    std::function<void()> on_tick;
    // A tick's handler may pump events, and so run further ticks inside it; past a few levels
    // the ticks that would nest deeper are dropped, so a slow tick cannot grow the stack.
    static constexpr int max_nesting = 4;

    void reset() override;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }

private:
    friend class WindowSide;

    void tick();

    TimerLayout layout_;
    int interval_;
    bool enabled_;
    int depth_ = 0;
};

} // namespace platform
