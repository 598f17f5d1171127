// The output folder on Windows. The folder is held open without delete sharing while the tool
// writes, so it cannot be swapped for a junction; files are made with CREATE_NEW under fresh
// temporary names and never through a reparse point.
#include "output.h"
#include "win32_handle.h"
#include "win32_path.h"

namespace bif {

namespace {

using win32::Handle;
using NamingHook = std::function<void(const std::string&)>;

constexpr int name_tries = 100;
constexpr DWORD disk_quota_exceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED, missing from some headers

bool volume_error(DWORD e)
{
    switch (e) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case disk_quota_exceeded:
    case ERROR_WRITE_FAULT:
    case ERROR_WRITE_PROTECT:
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
        return true;
    default:
        return false;
    }
}

bool denied_error(DWORD e) { return e == ERROR_ACCESS_DENIED || e == ERROR_WRITE_PROTECT; }

WriteFailure failure_from_last_error(bool whole_volume)
{
    DWORD e = GetLastError();
    return WriteFailure{win32::error_text(e), whole_volume || volume_error(e)};
}

// An explicit offset: a read back moves a synchronous handle's file pointer too.
OVERLAPPED at(u64 off)
{
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(off);
    o.OffsetHigh = static_cast<DWORD>(off >> 32);
    return o;
}

class WinFile final : public OutputFile {
public:
    WinFile(Handle file, std::wstring temp, std::wstring final_path, std::string name, bool keep,
            const NamingHook& before_naming)
        : file_(std::move(file)), temp_(std::move(temp)), final_(std::move(final_path)), name_(std::move(name)),
          keep_(keep), before_naming_(before_naming)
    {
    }
    ~WinFile() override
    {
        file_.close();
        if (!temp_.empty())
            DeleteFileW(temp_.c_str());
    }

    bool write(const unsigned char* p, std::size_t n, WriteFailure& failure) override
    {
        while (n > 0) {
            DWORD chunk = static_cast<DWORD>(n < (1u << 30) ? n : (1u << 30)), done = 0;
            OVERLAPPED o = at(written_);
            if (!WriteFile(file_.get(), p, chunk, &done, &o) || done == 0) {
                failure = failure_from_last_error(true);
                return false;
            }
            p += done;
            n -= done;
            written_ += done;
        }
        return true;
    }

    bool read_back(u64 off, unsigned char* p, std::size_t n, WriteFailure& failure) override
    {
        while (n > 0) {
            DWORD chunk = static_cast<DWORD>(n < (1u << 30) ? n : (1u << 30)), done = 0;
            OVERLAPPED o = at(off);
            if (!ReadFile(file_.get(), p, chunk, &done, &o) || done == 0) {
                failure = failure_from_last_error(true);
                return false;
            }
            p += done;
            n -= done;
            off += done;
        }
        return true;
    }

    // MoveFileExW replaces the entry at the final name, a link included, without following it;
    // without MOVEFILE_REPLACE_EXISTING it fails where the name is taken, the file system checking
    // the name and renaming in one step, so a file made meanwhile is never replaced.
    bool commit(WriteFailure& failure) override
    {
        if (!file_.close()) {
            failure = failure_from_last_error(true);
            return false;
        }
        if (before_naming_)
            before_naming_(name_);
        if (!MoveFileExW(temp_.c_str(), final_.c_str(), keep_ ? 0 : MOVEFILE_REPLACE_EXISTING)) {
            const DWORD e = GetLastError();
            failure = naming_failure(keep_, e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS,
                                     failure_from_last_error(false));
            return false;
        }
        temp_.clear();
        return true;
    }

private:
    Handle file_;
    std::wstring temp_, final_;
    std::string name_;
    bool keep_;
    const NamingHook& before_naming_; // the folder's
    u64 written_ = 0;
};

class WinFolder final : public OutputFolder {
public:
    WinFolder(Handle dir, std::wstring path, const OutputOptions& options)
        : dir_(std::move(dir)), path_(std::move(path) + L"\\"), names_(options.seed), keep_(options.keep_existing),
          before_naming_(options.before_naming)
    {
    }

    bool exists(const std::string& name) const override
    {
        return GetFileAttributesW((path_ + win32::widen(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // A running extraction's temporary file is open without delete sharing: deleting it fails.
    void remove_files(const std::function<bool(const std::string&)>& ours) override
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                ours(win32::narrow(found.cFileName)))
                DeleteFileW((path_ + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    std::unique_ptr<OutputFile> create(const std::string& name, WriteFailure& failure) override
    {
        for (int i = 0; i < name_tries; ++i) {
            std::wstring temp = path_ + win32::widen(names_.next());
            Handle file(CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            if (file.valid())
                return std::make_unique<WinFile>(std::move(file), temp, path_ + win32::widen(name), name, keep_,
                                                 before_naming_);
            DWORD e = GetLastError();
            if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS)
                break;
        }
        const DWORD e = GetLastError();
        failure = failure_from_last_error(true);
        failure.denied = denied_error(e);
        return nullptr;
    }

private:
    Handle dir_; // keeps the folder in place while the tool writes into it
    std::wstring path_;
    TemporaryNames names_;
    bool keep_;
    NamingHook before_naming_;
};

bool is_reparse_point(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info;
    return !GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

std::unique_ptr<OutputFolder> OutputFolder::open(const std::string& parent, const std::string& name,
                                                 const std::string& shown, const OutputOptions& options)
{
    std::wstring path = win32::system_path(parent);
    if (path.back() != L'\\')
        path += L'\\';
    path += win32::widen(name);
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            const DWORD e = GetLastError();
            throw Error(denied_error(e) ? unwritable_folder(shown, win32::error_text(e))
                                        : shown + ": cannot create the folder: " + win32::error_text(e));
        }
        attrs = GetFileAttributesW(path.c_str());
    }
    const std::string link = shown + ": is a link to another place; biftool extracts only into a folder of its own";
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT))
        throw Error(link);
    if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(shown + ": cannot extract into it: it exists and is not a folder");
    Handle dir(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!dir.valid())
        throw Error(shown + ": cannot open the folder: " + win32::error_text(GetLastError()));
    if (is_reparse_point(dir.get()))
        throw Error(link);
    return std::make_unique<WinFolder>(std::move(dir), std::move(path), options);
}

PathKind path_kind(const std::string& path)
{
    const DWORD attrs = GetFileAttributesW(win32::system_path(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        // A file on the way answers "path not found" or "the directory name is invalid".
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_DIRECTORY ? PathKind::none
                                                                                              : PathKind::unknown;
    }
    return attrs & FILE_ATTRIBUTE_DIRECTORY ? PathKind::folder : PathKind::other;
}

std::string make_folder(const std::string& path)
{
    if (CreateDirectoryW(win32::system_path(path).c_str(), nullptr))
        return {};
    const DWORD e = GetLastError();
    return e == ERROR_ALREADY_EXISTS && path_kind(path) == PathKind::folder ? std::string() : win32::error_text(e);
}

u64 OutputFolder::freed_by_replacing(const std::string& path)
{
    Handle file(CreateFileW(win32::system_path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info) || info.nNumberOfLinks != 1 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return 0;
    return (u64{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
}

std::optional<u64> OutputFolder::free_space(const std::string& folder)
{
    ULARGE_INTEGER avail;
    std::wstring path = win32::system_path(folder);
    if (path.back() != L'\\')
        path += L'\\';
    if (!GetDiskFreeSpaceExW(path.c_str(), &avail, nullptr, nullptr))
        return std::nullopt;
    return u64{avail.QuadPart};
}

} // namespace bif
