#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "control.h"
#include "look.h"

namespace platform {

struct FileListBoxLayout {
    Place place;
    std::string pattern = "*.*";
    Font font;
};

// Lists the names of the normal, read-only and archive files of one folder that match its
// pattern; hidden and system files and folders are left out.
class FileListBox : public Control {
public:
    FileListBox(Form& form, FileListBoxLayout layout);

    const Font& font() const { return layout_.font; }
    const std::string& pattern() const { return layout_.pattern; }

    const std::string& folder() const { return folder_; }
    // Reads the folder anew; fails where the folder cannot be read.
    void set_folder(std::string folder);
    const std::vector<std::string>& names() const { return names_; }
    std::size_t count() const { return names_.size(); }

    int selected_index() const { return selected_; }
    // The selected entry's file name, without folder; empty when none is selected.
    std::string selected_name() const;

    std::function<void()> on_double_click;

    void reset() override;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }

private:
    friend class WindowSide;

    // As the user selects; -1 selects nothing.
    void select(int index);
    void double_click();

    FileListBoxLayout layout_;
    std::string folder_;
    std::vector<std::string> names_;
    int selected_ = -1;
};

} // namespace platform
