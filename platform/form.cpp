#include "form.h"

#include "control.h"
#include "label.h"
#include "platform.h"
#include "window_peer.h"

namespace platform {

Form::Form(Platform& platform, FormLayout layout)
    : platform_(platform), layout_(std::move(layout)), caption_(layout_.caption)
{
}

Form::~Form() = default;

void Form::add(Label& label) { labels_.push_back(&label); }
void Form::add(Control& control) { controls_.push_back(&control); }

void Form::set_caption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    if (loaded())
        peer_->caption_changed();
}

void Form::load()
{
    if (loaded())
        return;
    caption_ = layout_.caption;
    for (Label* label : labels_)
        label->reset();
    for (Control* control : controls_)
        control->reset();
    peer_.reset();
    peer_ = platform_.create_window(*this);
    state_ = FormState::hidden;
    fit_labels();
    guarded(platform_, [&] { Form_Load(); });
}

void Form::show()
{
    load();
    state_ = FormState::shown;
    peer_->show();
}

void Form::show_modal(Form& owner)
{
    load();
    state_ = FormState::shown;
    peer_->show_modal(owner);
    // The close button destroyed the window while its modal loop ran; its peer can go now.
    if (state_ == FormState::not_loaded)
        peer_.reset();
}

void Form::hide()
{
    if (state_ != FormState::shown)
        return;
    state_ = FormState::hidden;
    peer_->hide();
}

void Form::unload()
{
    state_ = FormState::not_loaded;
    peer_.reset();
}

float Form::outer_width() const { return peer_ ? peer_->outer_width() : layout_.client_width; }

Label* Form::label_at(float x, float y) const
{
    for (Label* label : labels_) {
        if (label->visible() && label->bounds().contains(x, y))
            return label;
    }
    return nullptr;
}

void Form::activated()
{
    guarded(platform_, [&] { Form_Activate(); });
}

void Form::fit_labels()
{
    if (!peer_)
        return;
    for (Label* label : labels_) {
        if (label->auto_size())
            label->fit_to_text(peer_->measure_text(label->font(), label->caption()));
    }
}

void Form::destroyed() { state_ = FormState::not_loaded; }

void Form::control_changed(Control& control)
{
    if (loaded())
        peer_->control_changed(control);
}

void Form::label_changed(Label& label, const Rect& old)
{
    if (loaded())
        peer_->label_changed(label, old);
}

} // namespace platform
