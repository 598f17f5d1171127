#include "folder_prefetch.h"

#include "folder_reader.h"
#include "system_library.h"

namespace platform::win32 {

FolderPrefetch::FolderPrefetch(std::string folder)
    : folder_(std::move(folder)), started_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    thread_.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
    // A thread's start takes the loader's lock, which the first window holds for long while the
    // windowing libraries load: the reading must be under way before that.
    if (thread_ && started_)
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
    // The thread is done with the folder before the window needs these, and its time is free.
    prefetch.libraries_ = preload_system_libraries();
    return 0;
}

std::optional<std::vector<FileEntry>> FolderPrefetch::take(const std::string& folder)
{
    if (!thread_ || folder != folder_)
        return std::nullopt;
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    if (failure_)
        std::rethrow_exception(failure_);
    return std::move(entries_);
}

} // namespace platform::win32
