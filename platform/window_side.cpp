#include "window_side.h"

#include "check_box.h"
#include "file_list_box.h"
#include "form.h"
#include "label.h"
#include "timer.h"

namespace platform {

void WindowSide::activated(Form& form) { form.activated(); }
void WindowSide::destroyed(Form& form) { form.destroyed(); }
void WindowSide::fit_labels(Form& form) { form.fit_labels(); }
void WindowSide::click(Label& label) { label.click(); }
void WindowSide::mouse_move(Label& label, const MouseEvent& event) { label.mouse_move(event); }
void WindowSide::select(FileListBox& list, int index) { list.select(index); }
void WindowSide::double_click(FileListBox& list) { list.double_click(); }
void WindowSide::toggle(CheckBox& box) { box.toggle(); }
void WindowSide::tick(Timer& timer) { timer.tick(); }

} // namespace platform
