#pragma once
#include <functional>
#include <string>

#include "look.h"

namespace platform {

class CheckBox;
class FileListBox;
class Form;
class Label;
class ScrollBar;
class Timer;

// Each kind of control calls the overload for itself, so whoever treats the kinds each its own
// way (the window side making their native controls, a test reading layouts) asks no control
// what it is.
class ControlVisitor {
public:
    virtual void visit(FileListBox& list) = 0;
    virtual void visit(CheckBox& box) = 0;
    virtual void visit(ScrollBar& bar) = 0;
    virtual void visit(Timer& timer) = 0;
    // The form draws its labels itself; few visitors need them.
    virtual void visit(Label&) {}

protected:
    ~ControlVisitor() = default;
};

// Where a control stands in its form: its name, its box (twips) and its place in the Tab order.
struct Place {
    std::string name;
    Rect bounds;
    int tab_index = 0;
};

// A control belongs to one form for its whole life; it tells the form when something the
// window must show has changed, and raises its events through the form's failure guard.
class Control {
public:
    Control(Form& form, Place place);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return place_.name; }
    const Rect& bounds() const { return place_.bounds; }
    int tab_index() const { return place_.tab_index; }
    Form& form() const { return form_; }

    // Back to the look the layout gives, as when the form is loaded afresh.
    virtual void reset() = 0;
    virtual void accept(ControlVisitor& visitor) = 0;

protected:
    // Labels alone move and change their size.
    void set_place_bounds(const Rect& bounds) { place_.bounds = bounds; }
    void changed();
    void raise(const std::function<void()>& handler);

private:
    Form& form_;
    Place place_;
};

} // namespace platform
