#include <doctest.h>

#include "fake/fake_platform.h"
#include "main_window/frm_main.h"
#include "info_window/frm_info.h"

using platform::FormState;

namespace {

// The main window, and the information window opened from it with what the user does meanwhile.
struct Info {
    fake::Platform p = fake::game_folder({"a.bif"});
    frmMain main{p};
    Info() { main.show(); }
    frmInfo& open(const std::function<void(frmInfo&)>& doing = {})
    {
        p.while_modal = [this, doing](platform::Form& form) {
            if (doing)
                doing(*main.info());              // the form shown modal
            if (form.state() == FormState::shown) // left open: hidden, for the call to return
                form.hide();
        };
        fake::User::click(main.cmdClick);
        REQUIRE(main.info() != nullptr);
        return *main.info();
    }
};

void click_centre(frmInfo& f, const platform::Label& l)
{
    fake::click_at(f, l.bounds().left + l.bounds().width / 2, l.bounds().top + l.bounds().height / 2);
}

} // namespace

TEST_CASE("one window, modal over the main one, titled from the facts; hidden it keeps all, closed it starts afresh")
{
    Info i;
    i.p.facts.minor = 2;
    i.p.facts.revision = 3;
    frmInfo& info = i.open([](frmInfo& f) { fake::move_to(f, 200, 5500); }); // onto the link
    CHECK(info.lblTitle.caption() == "Vintrel v1.2.3");
    CHECK(i.p.modal_shows == 1);
    CHECK(info.state() == FormState::hidden);
    i.p.facts.title = "Other"; // would show were the window composed again
    CHECK(&i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_hot); // hot until the pointer passes the mask
        CHECK(f.lblTitle.caption() == "Vintrel v1.2.3");
        fake::User::destroyed(f); // the title bar's close button
    }) == &info);
    CHECK(info.state() == FormState::not_loaded);
    i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_cold);
        CHECK_FALSE(f.lblQarvel.font().underline);
        CHECK(f.lblTitle.caption() == "Other v1.2.3");
    });
}

TEST_CASE("the link lights under the pointer and goes out over the mask only; a click in the upper part closes")
{
    Info i;
    frmInfo& info = i.open([](frmInfo& f) {
        fake::move_to(f, 2000, 5500); // onto the link
        CHECK(f.lblQarvel.font().underline);
        CHECK(f.lblQarvel.fore_color() == 0xC000C0);
        fake::move_to(f, 60, 5500);   // sideways onto the bare background
        fake::move_to(f, 2000, 5670); // down onto it
        CHECK(f.lblQarvel.fore_color() == 0xC000C0);
        fake::click_at(f, 60, 5500); // the bare background takes no click
        CHECK(f.state() == FormState::shown);
        fake::move_to(f, 2000, 5200); // back up onto the mask, over the copyright line
        CHECK_FALSE(f.lblQarvel.font().underline);
        CHECK(f.lblQarvel.fore_color() == 0x000080);
    });
    for (const platform::Label* label : {&info.Label1, &info.Label2, &info.Label3, &info.lblTitle, &info.lblC}) {
        CAPTURE(label->name());
        i.open([label](frmInfo& f) {
            click_centre(f, *label);
            CHECK(f.state() == FormState::hidden);
        });
    }
    CHECK(i.p.starts.empty());
}

TEST_CASE("the link opens the web site: by start, hidden, else by the shell, else it says so")
{
    const char* const expected[] = {"start http://www.qarvel.example/ mode 0", "shell http://www.qarvel.example/",
                                    "The web site http://www.qarvel.example/ could not be opened."};
    for (const int way : {0, 1, 2}) {
        Info i;
        if (way == 0)
            i.p.startable.push_back("start");
        i.p.address_opens = way < 2;
        i.open([](frmInfo& f) {
            click_centre(f, f.lblQarvel);
            CHECK(f.state() == FormState::shown);
        });
        std::string done;
        for (const auto& s : i.p.starts)
            done += s.command_line + " mode " + std::to_string(static_cast<int>(s.mode));
        for (const auto& a : i.p.opened_addresses)
            done += "shell " + a;
        for (const auto& m : i.p.message_boxes)
            done += m.text;
        CHECK(done == expected[way]);
        CHECK(i.p.failures.empty());
    }
}
