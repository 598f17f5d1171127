#pragma once
#include <memory>
#include <string>
#include <vector>

#include "look.h"

namespace platform {

class Control;
class Label;
class Platform;
class WindowPeer;
class WindowSide;

enum class BorderStyle { fixed_single, fixed_tool_window };
enum class StartPosition { center_screen, center_owner };

struct FormLayout {
    std::string name;
    std::string caption;
    float client_width = 0, client_height = 0; // twips
    BorderStyle border = BorderStyle::fixed_single;
    bool min_button = false;
    bool max_button = false;
    StartPosition start = StartPosition::center_screen;
    Color back = colors::black;
    bool has_icon = false;
    bool in_taskbar = true;
};

enum class FormState { not_loaded, shown, hidden };

// A window and the controls it owns. Loading makes the real window and runs the load handler
// once; hiding keeps it loaded as it is; unloading destroys it, and the next load starts
// again from the layout.
class Form {
public:
    Form(Platform& platform, FormLayout layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Platform& platform() const { return platform_; }
    const FormLayout& layout() const { return layout_; }
    const std::string& caption() const { return caption_; }
    void set_caption(std::string caption);

    FormState state() const { return state_; }
    bool loaded() const { return state_ != FormState::not_loaded; }
    void load();
    void show();
    // Loads the form if need be and shows it modal over the owner; returns when it is hidden
    // or unloaded.
    void show_modal(Form& owner);
    void hide();
    void unload();

    // Twips; the outer width includes the frame.
    float outer_width() const;

    // Windowless labels, topmost first; windowed controls, topmost first.
    const std::vector<Label*>& labels() const { return labels_; }
    const std::vector<Control*>& controls() const { return controls_; }
    // The topmost visible label that contains the point (client twips), or none.
    Label* label_at(float x, float y) const;

protected:
    // Called by the constructors of derived forms, topmost first.
    void add(Label& label);
    void add(Control& control);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}

private:
    friend class Control;
    friend class Label;
    friend class WindowSide;

    // What the window reports; see WindowSide.
    void activated();
    // Auto-sized labels take the size of their text as the window measures it now: at load, and
    // again when the window moves to a screen of another resolution.
    void fit_labels();
    void destroyed();
    // What the controls report, passed on to the window while there is one.
    void control_changed(Control& control);
    void label_changed(Label& label, const Rect& old);

    Platform& platform_;
    FormLayout layout_;
    std::string caption_;
    FormState state_ = FormState::not_loaded;
    std::unique_ptr<WindowPeer> peer_;
    std::vector<Label*> labels_;
    std::vector<Control*> controls_;
};

} // namespace platform
