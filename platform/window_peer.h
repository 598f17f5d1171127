#pragma once
#include <string_view>

#include "look.h"

namespace platform {

class Control;
class Form;
class Label;

// The system's side of one loaded form: its real window and controls.
class WindowPeer {
public:
    virtual ~WindowPeer() = default;

    virtual void show() = 0;
    // Shows the window owned by the given one, which takes no input meanwhile; returns when the
    // window is hidden or unloaded.
    virtual void show_modal(const Form& owner) = 0;
    virtual void hide() = 0;

    virtual void caption_changed() = 0;
    // A label moved, resized, changed its look or its text; old is where it was drawn before.
    virtual void label_changed(const Label& label, const Rect& old) = 0;
    // A windowed control (list, check box, scroll bar) or the timer changed.
    virtual void control_changed(const Control& control) = 0;

    // The window's width with its frame, in twips.
    virtual float outer_width() const = 0;
    // The size a line of text takes in the font, in twips.
    virtual Size measure_text(const Font& font, std::string_view text) const = 0;
};

} // namespace platform
