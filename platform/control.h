#pragma once
#include <functional>
#include <string>

namespace platform {

class Form;

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

protected:
    void changed();
    void raise(const std::function<void()>& handler);

private:
    Form& form_;
    std::string name_;
};

} // namespace platform
