#include "frm_main.h"
#include "platform/int16.h"
#include "platform/platform.h"

using namespace platform;

namespace {
constexpr std::int16_t step = 25; // twips a tick
constexpr int tick_ms = 25;
} // namespace

// The banner's position lives in the hidden scroll bar, whose range is the way from just beyond
// the right edge to just beyond the left one.
void frmMain::setup_banner()
{
    Timer1.set_interval(tick_ms);
    HScroll1.set_max(to_int16(outer_width()));
    HScroll1.set_min(to_int16(-cmdInfo.width()));
    HScroll1.set_value(HScroll1.max());
}

void frmMain::Timer1_Timer()
{
    Timer1.set_interval(tick_ms);
    const std::int16_t position = HScroll1.value();
    if (position >= checked_add(HScroll1.min(), step)) {
        HScroll1.set_value(checked_sub(position, step));
    } else {
        HScroll1.set_value(HScroll1.max());
        platform().pump_events();
    }
    // Read again: the pump may have run other ticks.
    cmdInfo.set_left(static_cast<float>(HScroll1.value()));
    cmdInfo.set_visible(true);
    platform().pump_events();
}
