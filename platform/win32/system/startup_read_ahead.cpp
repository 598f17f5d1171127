#include "platform/win32/system/startup_read_ahead.h"

#include "platform/win32/system/folder_reader.h"

namespace platform::win32 {

StartupReadAhead::StartupReadAhead(std::string folder)
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

StartupReadAhead::~StartupReadAhead()
{
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI StartupReadAhead::run(void* self)
{
    auto& ahead = *static_cast<StartupReadAhead*>(self);
    SetEvent(ahead.started_.get());
    try {
        ahead.entries_ = read_folder(ahead.folder_);
    } catch (...) {
        ahead.failure_ = std::current_exception();
    }
    SetEvent(ahead.read_.get());
    // The thread's time is free once the folder is read; a library it fails to load is loaded
    // later where it is needed.
    try {
        ahead.libraries_ = preload_system_libraries();
    } catch (...) {
    }
    return 0;
}

std::optional<std::vector<FileEntry>> StartupReadAhead::take(const std::string& folder)
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
