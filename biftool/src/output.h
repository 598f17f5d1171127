#pragma once
// Where extraction writes: one folder directly beside the archive, and files in it that get their
// names only when complete. Nothing outside the folder is created, changed or followed: the folder
// must not be a link, files are created exclusively without following links, and the final rename
// replaces whatever has the name instead of writing through it (or, keeping existing files, takes
// only a name nothing has, in one step of the file system).
// POSIX: output_posix.cpp; Windows: output_win32.cpp; what they share: output.cpp.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common.h"

namespace bif {

// Why a file could not be written. A failure of the whole volume (disk full, quota, I/O error, a
// temporary file that cannot be made) stops the extraction; any other skips the one resource.
struct WriteFailure {
    std::string why;
    bool whole_volume = false;
    bool exists = false; // the name was taken and the options say never to replace
    bool denied = false; // the folder takes no new file: no permission, read-only medium
};

// What the user is told once when the folder beside the archive cannot be written.
std::string unwritable_folder(const std::string& shown, const std::string& why);

class OutputFile {
public:
    virtual ~OutputFile() = default; // drops whatever was written unless committed
    virtual bool write(const unsigned char* p, std::size_t n, WriteFailure& failure) = 0;
    // Reads bytes [off, off+n) of what was written, once writing is done (a failure is of the volume).
    virtual bool read_back(u64 off, unsigned char* p, std::size_t n, WriteFailure& failure) = 0;
    // Closes the file and gives it its name, replacing any entry of that name (unless the folder's
    // options keep existing files: then it fails with WriteFailure::exists).
    virtual bool commit(WriteFailure& failure) = 0;
};

struct OutputOptions {
    bool named_temporaries = false; // as on Windows, even where unnamed files are possible
    u64 seed = 0;                   // of the temporary names (tests); 0 takes a random one
    std::optional<u64> free_space;  // bytes free to assume instead of asking the system (tests)
    bool keep_existing = false;     // a file never takes the place of an existing entry
    // Called with a finished file's name just before it takes it (tests: another writer's file
    // turning up at that moment).
    std::function<void(const std::string&)> before_naming;
};

// Why a finished file did not get its name: where existing files are kept, a name found taken
// (whenever the other file came) means that file stays, counted as kept; else the system's failure.
WriteFailure naming_failure(bool keep, bool taken, WriteFailure system);

// Makes the absolute folder `folder` and every missing folder above it, as `mkdir -p` does: a link
// on the way is part of the path the user gave and is followed. Throws an Error naming `shown` when
// one of them is not a folder or cannot be made.
void make_folders(const std::string& folder, const std::string& shown);

// What make_folders asks of the system. Whether `path` is a folder (a link to one included), or
// cannot be looked at (a folder above it that may not be searched: the making or opening below
// it says why):
enum class PathKind { none, folder, other, unknown };
PathKind path_kind(const std::string& path);
// Makes the one folder `path`, its parent being one: "" when made or there already, else why not.
std::string make_folder(const std::string& path);

class OutputFolder {
public:
    // Opens folder `name` in `parent` (UTF-8), making it if absent; throws an Error naming `shown`
    // when it is a link, junction or other reparse point, or not a folder.
    static std::unique_ptr<OutputFolder> open(const std::string& parent, const std::string& name,
                                              const std::string& shown, const OutputOptions& options);
    // Free bytes for this user on the volume of `folder`; nothing when the system cannot tell.
    static std::optional<u64> free_space(const std::string& folder);
    // Bytes that replacing what `path` names gives back: what a plain file with no other name takes
    // on the disk, else 0.
    static u64 freed_by_replacing(const std::string& path);

    virtual ~OutputFolder() = default;
    // Removes the files whose names `ours` accepts when they are plain files with one name that no
    // running extraction is writing (a peer's temporary file, a link planted under such a name stay).
    virtual void remove_files(const std::function<bool(const std::string&)>& ours) = 0;
    // Whether anything has this name in the folder (a link is not followed).
    virtual bool exists(const std::string& name) const = 0;
    // `name` is one safe file-name component. Null and a whole-volume failure when no file can be made.
    virtual std::unique_ptr<OutputFile> create(const std::string& name, WriteFailure& failure) = 0;
};

// Fresh temporary names, "~biftool-" then 16 hex digits then ".~part": no resource is named so.
class TemporaryNames {
public:
    explicit TemporaryNames(u64 seed);
    std::string next();
    static bool matches(const std::string& file_name);

private:
    u64 state_;
};

} // namespace bif
