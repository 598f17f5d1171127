#include <doctest.h>

#include "fake/fake_platform.h"
#include "main_window/frm_main.h"
#include "info_window/frm_info.h"
#include "platform/failure.h"

namespace {

struct Banner {
    fake::Platform p = fake::game_folder({"a.bif"});
    frmMain form{p};
    Banner()
    {
        form.show();
        fake::User::activated(form);
    }
    void tick() { fake::User::tick(form.Timer1); }
    std::int16_t position() const { return form.HScroll1.value(); }
};

} // namespace

TEST_CASE("the banner runs from beyond the right edge to beyond the left one; interval 0 or disabled does not tick")
{
    Banner b;
    CHECK(b.form.HScroll1.max() == 2295 + 90); // the outer width, frame included
    CHECK(b.form.cmdInfo.width() == 26 * 150); // sized to its measured text
    CHECK(b.form.HScroll1.min() == -26 * 150);
    CHECK(b.position() == b.form.HScroll1.max());
    CHECK(b.form.Timer1.interval() == 25);
    CHECK(b.form.Timer1.running());
    CHECK(b.form.cmdInfo.left() == -510); // until the first tick, where the layout put it
    frmMain idle(b.p);
    fake::User::tick(idle.Timer1);
    CHECK(idle.HScroll1.value() == 0);
    b.form.Timer1.set_enabled(false);
    b.tick();
    CHECK(b.position() == b.form.HScroll1.max());
}

TEST_CASE("a full pass takes floor((max - min) / 25) + 1 ticks, each repainting the banner alone and pumping")
{
    Banner b;
    const int max = b.form.HScroll1.max(), min = b.form.HScroll1.min(), pumps = b.p.pumps;
    b.p.repainted.clear();
    int ticks = 0, last_before_jump = 0;
    do {
        last_before_jump = b.position();
        b.tick();
        ++ticks;
        CHECK(b.form.cmdInfo.left() == b.position());
        CHECK(b.form.cmdInfo.visible());
    } while (b.position() != max && ticks < 10000);
    CHECK(ticks == (max - min) / 25 + 1);
    CHECK(last_before_jump >= min);
    CHECK(last_before_jump <= min + 24);
    CHECK(b.p.pumps == pumps + ticks + 1); // and once more at the jump back
    CHECK(b.p.repainted == std::vector<std::string>(static_cast<std::size_t>(ticks), "cmdInfo"));
}

TEST_CASE("the step boundary: m + 25 still moves, m + 24 jumps back; the scroll bar refuses what lies outside")
{
    Banner b;
    const std::int16_t m = b.form.HScroll1.min(), max = b.form.HScroll1.max();
    b.form.HScroll1.set_value(static_cast<std::int16_t>(m + 25));
    b.tick();
    CHECK(b.position() == m);
    b.form.HScroll1.set_value(static_cast<std::int16_t>(m + 24));
    b.tick();
    CHECK(b.position() == max);
    CHECK(b.form.cmdInfo.left() == max);
    CHECK_THROWS_AS(b.form.HScroll1.set_value(static_cast<std::int16_t>(max + 1)), platform::Failure);
    CHECK_THROWS_AS(b.form.HScroll1.set_value(static_cast<std::int16_t>(m - 1)), platform::Failure);
    CHECK(b.position() == max);
}

TEST_CASE("ticks and the information window run nested inside a tick's pump; the banner shows the latest position")
{
    Banner b;
    const std::int16_t start = b.position();
    SUBCASE("a nested tick")
    {
        b.p.pending_events = [&] { b.tick(); };
        b.tick();
        CHECK(b.position() == start - 50);
        CHECK(b.form.cmdInfo.left() == start - 50);
    }
    SUBCASE("ticks nested deeper than four are dropped")
    {
        std::function<void()> nest = [&] {
            b.p.pending_events = nest;
            b.tick();
        };
        b.p.pending_events = nest;
        b.tick();
        CHECK(b.position() == start - 4 * 25);
    }
    SUBCASE("the information window open: the banner runs on, and keeps its place after")
    {
        b.p.while_modal = [&](platform::Form& info) {
            b.tick();
            info.hide();
        };
        fake::User::click(b.form.cmdClick);
        fake::User::activated(b.form);
        CHECK(b.position() == start - 25);
    }
    CHECK(b.p.failures.empty());
}

TEST_CASE("the window closed in its own tick's pump: the tick ends without touching the gone window")
{
    for (const bool close_button : {false, true}) {
        Banner b;
        b.form.HScroll1.set_value(b.form.HScroll1.min()); // the jump back pumps mid-tick
        b.p.pending_events = [&] {
            close_button ? fake::User::destroyed(b.form) : b.form.unload();
            b.p.repainted.clear();
        };
        b.tick();
        CHECK(b.form.state() == platform::FormState::not_loaded);
        CHECK(b.p.repainted.empty());
        CHECK(b.p.failures.empty());
    }
}
