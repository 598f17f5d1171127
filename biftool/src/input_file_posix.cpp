#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "text_util.h"
#include "input_file.h"

namespace bif {

namespace {

std::string kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

bool is_regular(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

InputFile::InputFile(const std::string& path, const std::string& shown) : shown_(shown)
{
    // Non-blocking, so that opening a FIFO returns at once; it is refused just below.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Error(shown + ": cannot open: " + std::strerror(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        std::string what = kind_of(st.st_mode);
        ::close(fd);
        throw Error(shown + ": is " + what + ", not a file");
    }
    handle_ = fd;
    size_ = static_cast<u64>(st.st_size);
}

InputFile::~InputFile() { ::close(static_cast<int>(handle_)); }

void InputFile::read(u64 off, void* dst, std::size_t n)
{
    auto* p = static_cast<unsigned char*>(dst);
    while (n > 0) {
        ssize_t got = ::pread(static_cast<int>(handle_), p, n, static_cast<off_t>(off));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw Error(shown_ + ": cannot read " + std::to_string(n) + " bytes at " + std::to_string(off) + ": " +
                        (got < 0 ? std::strerror(errno) : "unexpected end of file"));
        p += got;
        off += static_cast<u64>(got);
        n -= static_cast<std::size_t>(got);
    }
}

std::string absolute_path(const std::string& path)
{
    std::string full = path;
    if (path.empty() || path[0] != '/') {
        char cwd[4096];
        full = std::string(::getcwd(cwd, sizeof cwd) ? cwd : ".") + "/" + path;
    }
    std::vector<std::string> parts;
    for (std::size_t i = 0, j; i <= full.size(); i = j + 1) {
        j = std::min(full.find('/', i), full.size());
        std::string part = full.substr(i, j - i);
        if (part == ".." && !parts.empty())
            parts.pop_back();
        else if (!part.empty() && part != "." && part != "..")
            parts.push_back(part);
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

bool path_exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

bool is_folder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string find_nocase(const std::string& dir, const std::string& name, bool (*kind)(const std::string&))
{
    std::string base = dir.empty() ? std::string(".") : dir;
    if (base.back() != '/')
        base += '/';
    if (kind(base + name))
        return base + name;
    DIR* d = ::opendir(base.c_str());
    if (!d)
        return {};
    std::string found;
    while (const dirent* e = ::readdir(d))
        if (text_util::iequals(e->d_name, name) && kind(base + e->d_name)) {
            found = base + e->d_name;
            break;
        }
    ::closedir(d);
    return found;
}

} // namespace

std::string find_file_nocase(const std::string& dir, const std::string& name)
{
    return find_nocase(dir, name, is_regular);
}

std::string find_folder_nocase(const std::string& dir, const std::string& name)
{
    return find_nocase(dir, name, is_folder);
}

std::vector<std::string> folders_in(const std::string& dir)
{
    std::vector<std::string> names;
    const std::string base = dir.empty() ? std::string(".") : dir;
    DIR* d = ::opendir(base.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0 && is_folder(base + "/" + e->d_name))
            names.push_back(e->d_name);
    ::closedir(d);
    return names;
}

} // namespace bif
