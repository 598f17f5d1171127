#pragma once
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "handles.h"
#include "platform/platform.h"
#include "system_library.h"

namespace platform::win32 {

// One folder read on a worker thread from start-up on, while the windows are made. The first
// reading of that folder takes the result, waiting for it if need be; any other reads anew. The
// thread then loads some system libraries ahead (see preload_system_libraries).
class FolderPrefetch {
public:
    explicit FolderPrefetch(std::string folder);
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    // The folder's entries, or its failure, once, if it is the folder read ahead.
    std::optional<std::vector<FileEntry>> take(const std::string& folder);

private:
    static DWORD WINAPI run(void* self);

    std::string folder_;
    std::vector<FileEntry> entries_;
    std::exception_ptr failure_;
    UniqueHandle started_;
    UniqueHandle read_; // set once entries_ or failure_ holds the reading
    SystemLibraries libraries_;
    bool taken_ = false;
    UniqueHandle thread_; // null where no thread could be started
};

} // namespace platform::win32
