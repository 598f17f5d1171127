#include "folder_prefetch.h"

#include "folder_reader.h"

namespace platform::win32 {

FolderPrefetch::FolderPrefetch(std::string folder)
    : folder_(std::move(folder)), started_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      read_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (!started_ || !read_)
        return;
    thread_.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
    // A thread's start takes the loader's lock, which the first window holds for long while the
    // windowing libraries load: the reading must be under way before that.
    if (thread_)
        WaitForSingleObject(started_.get(), INFINITE);
}

FolderPrefetch::~FolderPrefetch()
{
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI FolderPrefetch::run(void* self)
{
    auto& prefetch = *static_cast<FolderPrefetch*>(self);
    SetEvent(prefetch.started_.get());
    try {
        prefetch.entries_ = read_folder(prefetch.folder_);
    } catch (...) {
        prefetch.failure_ = std::current_exception();
    }
    SetEvent(prefetch.read_.get());
    // The thread's time is free once the folder is read; a library it fails to load is loaded
    // later where it is needed.
    try {
        prefetch.libraries_ = preload_system_libraries();
    } catch (...) {
    }
    return 0;
}

std::optional<std::vector<FileEntry>> FolderPrefetch::take(const std::string& folder)
{
    if (!thread_ || taken_ || folder != folder_)
        return std::nullopt;
    WaitForSingleObject(read_.get(), INFINITE);
    taken_ = true;
    if (failure_)
        std::rethrow_exception(failure_);
    return std::move(entries_);
}

} // namespace platform::win32
