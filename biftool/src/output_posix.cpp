// The output folder on POSIX systems: every file operation is relative to the folder's own
// descriptor, opened without following a link, so that no path is looked up twice.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>

#include "output.h"
#include "posix_fd.h"

namespace bif {

namespace {

constexpr int name_tries = 100;

bool volume_error(int e) { return e == ENOSPC || e == EDQUOT || e == EIO || e == EFBIG || e == EROFS; }

WriteFailure failure_from_errno(bool whole_volume)
{
    int e = errno;
    return WriteFailure{std::strerror(e), whole_volume || volume_error(e)};
}

class PosixFolder;

class PosixFile final : public OutputFile {
public:
    PosixFile(PosixFolder& folder, Fd fd, std::string temp, std::string name)
        : folder_(folder), fd_(std::move(fd)), temp_(std::move(temp)), name_(std::move(name))
    {
    }
    ~PosixFile() override;
    bool write(const unsigned char* p, std::size_t n, WriteFailure& failure) override;
    bool commit(WriteFailure& failure) override;

private:
    PosixFolder& folder_;
    Fd fd_;
    std::string temp_; // the file's name while it is written; empty while it has none
    std::string name_;
};

class PosixFolder final : public OutputFolder {
public:
    PosixFolder(Fd dir, const OutputOptions& options)
        : dir_(std::move(dir)), names_(options.seed), unnamed_(!options.named_temporaries && unnamed_usable())
    {
    }

    int dir() const { return dir_.get(); }

    void remove_leftovers() override
    {
        int fd = ::dup(dir_.get());
        DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!d) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
        // Only plain files with one name, as the tool makes them; a link planted under such a name
        // stays, and exclusive creation steps around it.
        struct stat st;
        while (const dirent* e = ::readdir(d))
            if (TemporaryNames::matches(e->d_name) && ::fstatat(dir_.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && st.st_nlink == 1)
                ::unlinkat(dir_.get(), e->d_name, 0);
        ::closedir(d);
    }

    std::unique_ptr<OutputFile> create(const std::string& name, WriteFailure& failure) override
    {
        std::string temp;
        Fd fd(unnamed_ ? open_unnamed() : -1);
        if (!fd.valid())
            fd = Fd(open_named(temp));
        if (!fd.valid()) {
            failure = failure_from_errno(true);
            return nullptr;
        }
        return std::make_unique<PosixFile>(*this, std::move(fd), std::move(temp), name);
    }

    // Gives an unnamed file a name, failing when anything has it already.
    bool link_unnamed(int fd, const std::string& name)
    {
        char proc[48];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
        return ::linkat(AT_FDCWD, proc, dir_.get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }

    // Gives an unnamed file a fresh temporary name, to be renamed over what has its own.
    bool name_unnamed(int fd, std::string& temp, WriteFailure& failure)
    {
        for (int i = 0; i < name_tries; ++i) {
            std::string t = names_.next();
            if (link_unnamed(fd, t)) {
                temp = t;
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        failure = failure_from_errno(true);
        return false;
    }

private:
    // A file without a name until complete: a killed run leaves nothing behind.
    int open_unnamed()
    {
#ifdef O_TMPFILE
        int fd = ::openat(dir_.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT))
            unnamed_ = false;
        return fd;
#else
        return -1;
#endif
    }

    // Exclusive creation refuses any entry already there, a planted link included.
    int open_named(std::string& temp)
    {
        for (int i = 0; i < name_tries; ++i) {
            std::string t = names_.next();
            int fd = ::openat(dir_.get(), t.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0)
                temp = t;
            if (fd >= 0 || errno != EEXIST)
                return fd;
        }
        return -1;
    }

    // Naming an unnamed file goes through /proc.
    static bool unnamed_usable() { return ::access("/proc/self/fd", X_OK) == 0; }

    Fd dir_;
    TemporaryNames names_;
    bool unnamed_;
};

PosixFile::~PosixFile()
{
    if (!temp_.empty())
        ::unlinkat(folder_.dir(), temp_.c_str(), 0);
}

bool PosixFile::write(const unsigned char* p, std::size_t n, WriteFailure& failure)
{
    while (n > 0) {
        ssize_t w = ::write(fd_.get(), p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            failure = w < 0 ? failure_from_errno(true) : WriteFailure{"nothing written", true};
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool PosixFile::commit(WriteFailure& failure)
{
    if (temp_.empty() && folder_.link_unnamed(fd_.get(), name_)) {
        // Named where nothing was: linking never replaces or follows what is there.
        if (fd_.close())
            return true;
        failure = failure_from_errno(true);
        ::unlinkat(folder_.dir(), name_.c_str(), 0);
        return false;
    }
    if (temp_.empty() && !folder_.name_unnamed(fd_.get(), temp_, failure))
        return false;
    if (!fd_.close()) {
        failure = failure_from_errno(true);
        return false;
    }
    if (::renameat(folder_.dir(), temp_.c_str(), folder_.dir(), name_.c_str()) != 0) {
        failure = failure_from_errno(false);
        return false;
    }
    temp_.clear();
    return true;
}

} // namespace

std::unique_ptr<OutputFolder> OutputFolder::open(const std::string& parent, const std::string& name,
                                                 const std::string& shown, const OutputOptions& options)
{
    Fd above(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!above.valid())
        throw Error(shown + ": cannot open the folder it goes into: " + std::strerror(errno));
    if (::mkdirat(above.get(), name.c_str(), 0777) != 0 && errno != EEXIST)
        throw Error(shown + ": cannot create the folder: " + std::strerror(errno));
    Fd dir(::openat(above.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.valid()) {
        int e = errno;
        struct stat st;
        if (::fstatat(above.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            throw Error(shown + ": is a link to another place; biftool extracts only into a folder of its own");
        if (e == ENOTDIR)
            throw Error(shown + ": cannot extract into it: it exists and is not a folder");
        throw Error(shown + ": cannot open the folder: " + std::strerror(e));
    }
    return std::make_unique<PosixFolder>(std::move(dir), options);
}

std::optional<u64> OutputFolder::free_space(const std::string& folder)
{
    struct statvfs st;
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &st) != 0)
        return std::nullopt;
    return u64{st.f_bavail} * st.f_frsize;
}

} // namespace bif
