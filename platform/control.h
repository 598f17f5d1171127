#pragma once
#include <functional>
#include <string>

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

// A control belongs to one form for its whole life; it tells the form when something the
// window must show has changed, and raises its events through the form's failure guard.
class Control {
public:
    Control(Form& form, std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Form& form() const { return form_; }

    // Back to the look the layout gives, as when the form is loaded afresh.
    virtual void reset() = 0;
    virtual void accept(ControlVisitor& visitor) = 0;

protected:
    void changed();
    void raise(const std::function<void()>& handler);

private:
    Form& form_;
    std::string name_;
};

} // namespace platform
