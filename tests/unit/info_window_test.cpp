#include <doctest.h>

#include "helpers.h"
#include "info_window/frm_info.h"

using platform::FormState;

namespace {

struct Info {
    fake::Platform p = game_folder({"a.bif"});
    frmMain main{p};
    std::function<void(frmInfo&)> user; // what the user does while it is open
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

// Centre of a label, in the form's client twips.
std::pair<float, float> centre(const platform::Label& label)
{
    return {label.bounds().left + label.bounds().width / 2, label.bounds().top + label.bounds().height / 2};
}

} // namespace

TEST_CASE("opening shows one window, modal over the main window, with the composed title")
{
    Info i;
    i.p.facts.minor = 2;
    i.p.facts.revision = 3;
    frmInfo& info = i.open([](frmInfo& f) { CHECK(f.state() == FormState::shown); });
    CHECK(info.caption() == "About: Vintrel");
    CHECK(info.lblTitle.caption() == "Vintrel v1.2.3");
    CHECK(i.p.record(info).modal_shows == 1);
    CHECK(info.state() == FormState::hidden);
    CHECK(&i.open() == &info); // the same instance again
    CHECK(i.p.failures.empty());
}

TEST_CASE("hidden keeps everything and is not loaded again; the close button unloads it")
{
    Info i;
    frmInfo& info = i.open([](frmInfo& f) { fake::move_to(f, 200, 5500); });
    CHECK(info.lblQarvel.fore_color() == frmInfo::link_hot);

    // A different title now would show if the window were composed again.
    i.p.facts.title = "Other";
    i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_hot); // still hot until the pointer passes the mask
        CHECK(f.lblTitle.caption() == "Vintrel v1.0.0");
        f.destroyed(); // the title bar's close button
    });
    CHECK(info.state() == FormState::not_loaded);

    i.open([](frmInfo& f) {
        CHECK(f.lblQarvel.fore_color() == frmInfo::link_cold);
        CHECK_FALSE(f.lblQarvel.font().underline);
        CHECK(f.lblTitle.caption() == "Other v1.0.0");
    });
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
            const auto [x, y] = centre(*label);
            fake::click_at(f, x, y);
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

TEST_CASE("the link opens the web site: by start, else by the shell, else it says so")
{
    Info i;
    const auto click_link = [](frmInfo& f) {
        const auto [x, y] = centre(f.lblQarvel);
        fake::click_at(f, x, y);
        CHECK(f.state() == FormState::shown);
    };

    SUBCASE("start runs hidden")
    {
        i.p.startable.push_back("start");
        i.open(click_link);
        REQUIRE(i.p.starts.size() == 1);
        CHECK(i.p.starts[0].command_line == "start http://www.qarvel.example/");
        CHECK(i.p.starts[0].mode == platform::ShowMode::hidden);
        CHECK(i.p.opened_addresses.empty());
    }
    SUBCASE("no start program: the shell opens the address")
    {
        i.open(click_link);
        CHECK(i.p.opened_addresses == std::vector<std::string>{"http://www.qarvel.example/"});
        CHECK(i.p.message_boxes.empty());
    }
    SUBCASE("nothing opens it: a message, and the window stays open")
    {
        i.p.address_opens = false;
        i.open(click_link);
        REQUIRE(i.p.message_boxes.size() == 1);
        CHECK(i.p.message_boxes[0].text.find("could not be opened") != std::string::npos);
    }
    CHECK(i.p.failures.empty());
}
