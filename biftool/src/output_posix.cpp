// The output folder on POSIX systems: every file operation is relative to the folder's own
// descriptor, opened without following a link, so that no path is looked up twice.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output.h"
#include "posix_fd.h"

namespace bif {

namespace {

constexpr int name_tries = 100;

bool volume_error(int e) { return e == ENOSPC || e == EDQUOT || e == EIO || e == EFBIG || e == EROFS; }
bool denied_error(int e) { return e == EACCES || e == EPERM || e == EROFS; }

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
    bool read_back(u64 off, unsigned char* p, std::size_t n, WriteFailure& failure) override;
    bool commit(WriteFailure& failure) override;

private:
    bool rename_over();
    bool take_free_name();
    PosixFolder& folder_;
    Fd fd_;
    std::string temp_; // the file's name while it is written; empty while it has none
    std::string name_;
};

class PosixFolder final : public OutputFolder {
public:
    PosixFolder(Fd dir, const OutputOptions& options)
        : dir_(std::move(dir)), names_(options.seed), unnamed_(!options.named_temporaries && unnamed_usable()),
          keep_(options.keep_existing), before_naming_(options.before_naming)
    {
    }

    int dir() const { return dir_.get(); }
    bool keep() const { return keep_; }
    void before_naming(const std::string& name) const
    {
        if (before_naming_)
            before_naming_(name);
    }

    bool exists(const std::string& name) const override
    {
        struct stat st;
        return ::fstatat(dir_.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    }

    void remove_files(const std::function<bool(const std::string&)>& ours) override
    {
        int fd = ::dup(dir_.get());
        DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!d) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
        ::rewinddir(d); // the copy shares its position with the folder's descriptor
        struct stat st;
        while (const dirent* e = ::readdir(d))
            if (ours(e->d_name) && ::fstatat(dir_.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && st.st_nlink == 1) {
                // A running extraction holds a lock on its temporary file.
                Fd f(::openat(dir_.get(), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
                if (f.valid() && (::flock(f.get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK))
                    ::unlinkat(dir_.get(), e->d_name, 0);
            }
        ::closedir(d);
    }

    std::unique_ptr<OutputFile> create(const std::string& name, WriteFailure& failure) override
    {
        std::string temp;
        Fd fd(unnamed_ ? open_unnamed() : -1);
        if (!fd.valid())
            fd = Fd(open_named(temp));
        if (!fd.valid()) {
            const int e = errno;
            failure = failure_from_errno(true);
            failure.denied = denied_error(e);
            return nullptr;
        }
        return std::make_unique<PosixFile>(*this, std::move(fd), std::move(temp), name);
    }

    // Gives an unnamed file a name, failing when anything has it already. Linking the descriptor
    // itself needs a privilege or a recent kernel; else its name under /proc serves.
    bool link_unnamed(int fd, const std::string& name)
    {
#ifdef AT_EMPTY_PATH
        if (link_by_fd_) {
            if (::linkat(fd, "", dir_.get(), name.c_str(), AT_EMPTY_PATH) == 0)
                return true;
            if (errno != ENOENT && errno != EPERM)
                return false;
            link_by_fd_ = false;
        }
#endif
        char proc[48];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
        return ::linkat(AT_FDCWD, proc, dir_.get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }

    // Gives an unnamed file a fresh temporary name, to be renamed over what has its own; locked
    // first, so that a peer's sweep of leftovers leaves it alone.
    bool name_unnamed(int fd, std::string& temp, WriteFailure& failure)
    {
        swept(fd); // nothing can have swept a file without a name
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
        int fd = ::openat(dir_.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT))
            unnamed_ = false;
        return fd;
#else
        return -1;
#endif
    }

    // Exclusive creation refuses any entry already there, a planted link included. The lock keeps a
    // peer's sweep of leftovers away; a file swept before it was taken has lost its name: try again.
    int open_named(std::string& temp)
    {
        for (int i = 0; i < name_tries; ++i) {
            std::string t = names_.next();
            Fd fd(::openat(dir_.get(), t.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (!fd.valid() && errno != EEXIST)
                return -1;
            if (fd.valid() && !swept(fd.get())) {
                temp = t;
                return fd.release();
            }
        }
        return -1;
    }

    // Locks a new file; true when a peer's sweep took it first. Where the file system has no locks,
    // the file goes unlocked.
    static bool swept(int fd)
    {
        struct stat st;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK;
        return ::fstat(fd, &st) == 0 && st.st_nlink == 0;
    }

    // Naming an unnamed file may go through /proc.
    static bool unnamed_usable() { return ::access("/proc/self/fd", X_OK) == 0; }

    Fd dir_;
    TemporaryNames names_;
    bool unnamed_;
    bool keep_;
    std::function<void(const std::string&)> before_naming_;
    bool link_by_fd_ = true;
};

bool PosixFile::rename_over()
{
    if (::renameat(folder_.dir(), temp_.c_str(), folder_.dir(), name_.c_str()) != 0)
        return false;
    temp_.clear();
    return true;
}

// The file's own name only where nothing has it, in one step of the file system: a rename that
// refuses to replace, else the name linked beside the temporary one. Only where the system has
// neither does a look just before the rename have to do, which a file made in between can beat.
bool PosixFile::take_free_name()
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(folder_.dir(), temp_.c_str(), folder_.dir(), name_.c_str(), RENAME_NOREPLACE) == 0) {
        temp_.clear();
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
#endif
    if (::linkat(folder_.dir(), temp_.c_str(), folder_.dir(), name_.c_str(), 0) == 0) {
        ::unlinkat(folder_.dir(), temp_.c_str(), 0);
        temp_.clear();
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
        return false;
    if (folder_.exists(name_)) {
        errno = EEXIST;
        return false;
    }
    return rename_over();
}

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

bool PosixFile::read_back(u64 off, unsigned char* p, std::size_t n, WriteFailure& failure)
{
    while (n > 0) {
        ssize_t got = ::pread(fd_.get(), p, n, static_cast<off_t>(off));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            failure = got < 0 ? failure_from_errno(true) : WriteFailure{"cannot read back what was written", true};
            return false;
        }
        p += got;
        off += static_cast<u64>(got);
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

// Named while still open, so that the lock keeps a peer's sweep away to the end; a close that
// fails (a delayed write error) takes the name back.
bool PosixFile::commit(WriteFailure& failure)
{
    const bool keep = folder_.keep();
    folder_.before_naming(name_);
    // Linking names an unnamed file where nothing was, never replacing or following what is there;
    // a file that cannot be linked so, or that is to replace what has the name, is named twice.
    bool named = temp_.empty() && folder_.link_unnamed(fd_.get(), name_);
    if (!named && temp_.empty() && !(keep && errno == EEXIST) && !folder_.name_unnamed(fd_.get(), temp_, failure))
        return false;
    if (!named && !temp_.empty())
        named = keep ? take_free_name() : rename_over();
    if (!named) {
        failure = naming_failure(keep, errno == EEXIST, failure_from_errno(false));
        return false;
    }
    if (fd_.close())
        return true;
    failure = failure_from_errno(true);
    ::unlinkat(folder_.dir(), name_.c_str(), 0);
    return false;
}

} // namespace

std::unique_ptr<OutputFolder> OutputFolder::open(const std::string& parent, const std::string& name,
                                                 const std::string& shown, const OutputOptions& options)
{
    Fd above(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!above.valid())
        throw Error(shown + ": cannot open the folder it goes into: " + std::strerror(errno));
    if (::mkdirat(above.get(), name.c_str(), 0777) != 0 && errno != EEXIST) {
        const int e = errno;
        throw Error(denied_error(e) ? unwritable_folder(shown, std::strerror(e))
                                    : shown + ": cannot create the folder: " + std::strerror(e));
    }
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

PathKind path_kind(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::none : PathKind::unknown;
    return S_ISDIR(st.st_mode) ? PathKind::folder : PathKind::other;
}

std::string make_folder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return {};
    const int e = errno;
    return e == EEXIST && path_kind(path) == PathKind::folder ? std::string() : std::strerror(e);
}

u64 OutputFolder::freed_by_replacing(const std::string& path)
{
    struct stat st;
    // The blocks it holds: a sparse file gives back less than its size.
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 ? u64(st.st_blocks) * 512 : 0;
}

std::optional<u64> OutputFolder::free_space(const std::string& folder)
{
    struct statvfs st;
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &st) != 0)
        return std::nullopt;
    return u64{st.f_bavail} * st.f_frsize;
}

} // namespace bif
