#include "timer.h"

namespace platform {

Timer::Timer(Form& form, TimerLayout layout)
    : Control(form, {layout.name}), layout_(std::move(layout)), interval_(layout_.interval), enabled_(layout_.enabled)
{
}

// Setting the interval it already has changes nothing, so a tick that sets it keeps the rhythm.
void Timer::set_interval(int milliseconds)
{
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    changed();
}

void Timer::set_enabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    changed();
}

void Timer::tick()
{
    if (!running() || depth_ >= max_nesting)
        return;
    ++depth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};
    raise(on_tick);
}

void Timer::reset()
{
    interval_ = layout_.interval;
    enabled_ = layout_.enabled;
}

} // namespace platform
