#include <doctest.h>

#include "fake/fake_platform.h"
#include "info_window/frm_info.h"
#include "main_window/frm_main.h"

// A box owned by no window, or by another, leaves the window whose handler shows it taking input.
TEST_CASE("every message box is owned by the window whose handler shows it")
{
    fake::Platform p = fake::game_folder({"a.bif"});
    p.address_opens = false;
    frmMain main(p);
    main.show();
    fake::User::double_click(main.filSource); // "Done"
    p.startable.clear();
    fake::User::double_click(main.filSource); // "Missing File"
    p.while_modal = [](platform::Form& info) {
        fake::User::click(static_cast<frmInfo&>(info).lblQarvel); // the web site cannot be opened
        info.hide();
    };
    fake::User::click(main.cmdClick);
    REQUIRE(p.message_boxes.size() == 3);
    const platform::Form* owners[] = {&main, &main, main.info()};
    for (std::size_t i = 0; i < 3; ++i)
        CHECK(p.message_boxes[i].owner == owners[i]);
}
