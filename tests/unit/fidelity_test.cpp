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
    main.filSource.double_click(); // "Done"
    p.startable.clear();
    main.filSource.double_click(); // "Missing File"
    p.while_modal = [](platform::Form& info) {
        static_cast<frmInfo&>(info).lblQarvel.click(); // the web site cannot be opened
        info.hide();
    };
    main.cmdClick.click();
    REQUIRE(p.message_boxes.size() == 3);
    const platform::Form* owners[] = {&main, &main, main.info()};
    for (std::size_t i = 0; i < 3; ++i)
        CHECK(p.message_boxes[i].owner == owners[i]);
}
