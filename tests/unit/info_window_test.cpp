#include <doctest.h>

#include "helpers.h"
#include "info_window/frm_info.h"

using platform::FormState;

namespace {

// The main window, and the information window opened from it with what the user does meanwhile.
struct Info {
    fake::Platform p = game_folder({"a.bif"});
    frmMain main{p};
    std::function<void(frmInfo&)> user;
    Info()
    {
        main.show();
        p.while_modal = [this](platform::Form& form) {
            if (user)
                user(static_cast<frmInfo&>(form));
            if (form.state() == FormState::shown)
                form.hide();
        };
    }
    frmInfo& open(std::function<void(frmInfo&)> doing = {})
    {
        user = std::move(doing);
        main.cmdClick.click();
        REQUIRE(main.info() != nullptr);
        return *main.info();
    }
};

void click_centre(frmInfo& f, const platform::Label& label)
{
    fake::click_at(f, label.bounds().left + label.bounds().width / 2, label.bounds().top + label.bounds().height / 2);
}

} // namespace

TEST_CASE("one window, modal over the main one, titled from the facts; hidden it keeps all, closed it starts afresh")
{
    Info i;
    i.p.facts.minor = 2;
    i.p.facts.revision = 3;
    frmInfo& info = i.open([](frmInfo& f) {
        CHECK(f.state() == FormState::shown);
        fake::move_to(f, 200, 5500);
    });
    CHECK(info.lblTitle.caption() == "Vintrel v1.2.3");
    CHECK(i.p.modal_shows == 1);
    CHECK(info.state() == FormState::hidden);

    i.p.facts.title = "Other"; // would show were the window composed again
    CHECK(&i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_hot); // hot until the pointer passes the mask
        CHECK(f.lblTitle.caption() == "Vintrel v1.2.3");
        f.destroyed(); // the title bar's close button
    }) == &info);
    CHECK(info.state() == FormState::not_loaded);
    i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_cold);
        CHECK_FALSE(f.lblQarvel.font().underline);
        CHECK(f.lblTitle.caption() == "Other v1.2.3");
    });
    CHECK(i.p.failures.empty());
}

TEST_CASE("the link lights up under the pointer and goes out over the mask only")
{
    Info i;
    i.open([](frmInfo& f) {
        fake::move_to(f, 2000, 5500); // onto the link
        CHECK(f.lblQarvel.font().underline);
        CHECK(f.lblQarvel.fore_color() == 0xC000C0);
        fake::move_to(f, 60, 5500);   // sideways onto the bare background
        fake::move_to(f, 2000, 5670); // down onto it
        CHECK(f.lblQarvel.fore_color() == 0xC000C0);
        fake::move_to(f, 2000, 5200); // back up onto the mask, over the copyright line
        CHECK_FALSE(f.lblQarvel.font().underline);
        CHECK(f.lblQarvel.fore_color() == 0x000080);
    });
}

TEST_CASE("a click anywhere in the upper part closes the window; the bottom strip's background does nothing")
{
    Info i;
    frmInfo& info = i.open();
    for (const platform::Label* label : {&info.Label1, &info.Label2, &info.Label3, &info.lblTitle, &info.lblC}) {
        CAPTURE(label->name());
        i.open([label](frmInfo& f) {
            click_centre(f, *label);
            CHECK(f.state() == FormState::hidden);
        });
    }
    i.open([](frmInfo& f) {
        fake::click_at(f, 60, 5500);
        fake::click_at(f, 4500, 5670);
        CHECK(f.state() == FormState::shown);
    });
    CHECK(i.p.opened_addresses.empty());
    CHECK(i.p.starts.empty());
}

TEST_CASE("the link opens the web site: by start, hidden, else by the shell, else it says so")
{
    for (const int way : {0, 1, 2}) {
        CAPTURE(way);
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
        const char* const expected[] = {"start http://www.qarvel.example/ mode 0", "shell http://www.qarvel.example/",
                                        "The web site http://www.qarvel.example/ could not be opened."};
        CHECK(done == expected[way]);
        CHECK(i.p.failures.empty());
    }
}
