#pragma once
// Files and folders the drivers set up, named in UTF-8 with Windows separators.
#include <string>

namespace e2e {

// A path handed in from the build (a Unix path under Wine) as Windows sees it.
std::string windows_path(const std::string& path);

std::string join(const std::string& folder, const std::string& name);

bool exists(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
// Empty when the file is missing.
std::string read_file(const std::string& path);
void copy_file(const std::string& from, const std::string& to);
void remove_file(const std::string& path);
void make_folder(const std::string& path);
// Sets FILE_ATTRIBUTE_HIDDEN or _SYSTEM; false if the file system would not keep it.
bool set_attributes(const std::string& path, unsigned long attributes);

// A fresh folder under the temporary folder, removed with all it holds on destruction.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace e2e
