#pragma once
// The files the tool reads (archive, index): opened only when they are regular files, so that a
// FIFO, a device or a folder is refused at once instead of blocking or failing later; read at an
// offset straight from the system, in the large pieces the readers ask for.
// POSIX: input_file_posix.cpp; Windows: input_file_win32.cpp.
#include <cstdint>
#include <string>
#include <vector>

#include "common.h"

namespace bif {

class InputFile {
public:
    // `path` is UTF-8; `shown` names the file in messages. Throws Error.
    InputFile(const std::string& path, const std::string& shown);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    u64 size() const { return size_; }
    // Reads exactly n bytes at off, or throws Error.
    void read(u64 off, void* dst, std::size_t n);

private:
    std::intptr_t handle_ = -1;
    u64 size_ = 0;
    std::string shown_;
};

// The absolute, clean form of a UTF-8 path ("." for the current folder).
std::string absolute_path(const std::string& path);
// True when something (file, folder, anything) exists under this UTF-8 path.
bool path_exists(const std::string& path);
// Path of the regular file `name` in folder `dir` (exact name first, then ignoring ASCII case,
// for Linux copies of a game that say "CHITIN.KEY"); "" when there is none.
std::string find_file_nocase(const std::string& dir, const std::string& name);
// The same for a folder (a link to one included).
std::string find_folder_nocase(const std::string& dir, const std::string& name);
// The names of the folders in `dir`, in no particular order.
std::vector<std::string> folders_in(const std::string& dir);

} // namespace bif
