#include "folder_prefetch.h"

#include "folder_reader.h"

namespace platform::win32 {

FolderPrefetch::FolderPrefetch(std::string folder) : folder_(std::move(folder))
{
    thread_.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
}

FolderPrefetch::~FolderPrefetch()
{
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI FolderPrefetch::run(void* self)
{
    auto& prefetch = *static_cast<FolderPrefetch*>(self);
    try {
        prefetch.entries_ = read_folder(prefetch.folder_);
    } catch (...) {
        prefetch.failure_ = std::current_exception();
    }
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
