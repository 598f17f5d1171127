#pragma once

namespace platform {

class CheckBox;
class FileListBox;
class Form;
class Label;
class Timer;
struct MouseEvent;

// What only a form's window tells the model: the user's doing there and the window's own news.
// Form and the controls keep these calls private, so no handler can pose as the window; the
// window side (and the tests' fake window, playing the user) reaches them by deriving from this.
class WindowSide {
protected:
    static void activated(Form& form);
    // The real window went away (its close button): the form is unloaded.
    static void destroyed(Form& form);
    // The window moved to a screen of another resolution: auto-sized labels measure their text again.
    static void fit_labels(Form& form);

    static void click(Label& label);
    static void mouse_move(Label& label, const MouseEvent& event);
    static void select(FileListBox& list, int index);
    static void double_click(FileListBox& list);
    // A user's click: clear becomes ticked, ticked or grayed becomes clear.
    static void toggle(CheckBox& box);
    static void tick(Timer& timer);
};

} // namespace platform
