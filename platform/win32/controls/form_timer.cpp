#include "platform/win32/controls/native_controls.h"
#include "platform/timer.h"

namespace platform::win32 {
namespace {

// The model's timer as a system timer of the form window, running only while the model's runs.
class FormTimer : public NativeControl {
public:
    FormTimer(Timer& model, HWND form_window, int id) : model_(model), form_window_(form_window), id_(id) {}

    const Control& model() const override { return model_; }

    void update() override
    {
        if (model_.running())
            SetTimer(form_window_, id_, static_cast<UINT>(model_.interval()), nullptr);
        else
            KillTimer(form_window_, id_);
    }

    bool tick(UINT_PTR id) override
    {
        if (id != id_)
            return false;
        WindowSide::tick(model_);
        return true;
    }

private:
    Timer& model_;
    HWND form_window_;
    UINT_PTR id_;
};

} // namespace

std::unique_ptr<NativeControl> make_timer(Timer& model, HWND form_window, int id)
{
    return std::make_unique<FormTimer>(model, form_window, id);
}

} // namespace platform::win32
