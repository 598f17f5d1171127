#include "control.h"

#include "form.h"
#include "platform.h"

namespace platform {

Control::Control(Form& form, Place place) : form_(form), place_(std::move(place)) {}

void Control::changed() { form_.control_changed(*this); }

void Control::raise(const std::function<void()>& handler)
{
    if (handler)
        guarded(form_.platform(), [&] { handler(); });
}

} // namespace platform
