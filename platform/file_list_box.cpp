#include "file_list_box.h"

#include <algorithm>

#include "file_names.h"
#include "form.h"
#include "platform.h"

namespace platform {

FileListBox::FileListBox(Form& form, FileListBoxLayout layout) : Control(form, layout.place), layout_(std::move(layout))
{
}

void FileListBox::set_folder(std::string folder)
{
    // Sorted by keys folded once each rather than in every comparison: a folder may hold thousands.
    std::vector<std::pair<std::string, std::string>> keyed;
    for (FileEntry& entry : form().platform().read_folder(folder)) {
        if (!entry.directory && !entry.hidden && !entry.system && matches_pattern(entry.name, layout_.pattern))
            keyed.emplace_back(folded(entry.name), std::move(entry.name));
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed)
        names.push_back(std::move(name));
    folder_ = std::move(folder);
    names_ = std::move(names);
    selected_ = -1;
    changed();
}

void FileListBox::select(int index)
{
    selected_ = (index >= 0 && static_cast<std::size_t>(index) < names_.size()) ? index : -1;
}

std::string FileListBox::selected_name() const
{
    return selected_ < 0 ? std::string() : names_[static_cast<std::size_t>(selected_)];
}

void FileListBox::double_click() { raise(on_double_click); }

void FileListBox::reset()
{
    folder_.clear();
    names_.clear();
    selected_ = -1;
}

} // namespace platform
