#pragma once
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/base.h"
#include "platform/platform.h"
#include "platform/win32/system/system_library.h"

namespace platform::win32 {

// What start-up would otherwise wait for, done on a worker thread while the windows are made:
// the program's folder read, then some system libraries loaded (see preload_system_libraries).
// The first reading of that folder takes the result, waiting for it if need be; any other reads
// anew.
class StartupReadAhead {
public:
    explicit StartupReadAhead(std::string folder);
    ~StartupReadAhead();
    StartupReadAhead(const StartupReadAhead&) = delete;
    StartupReadAhead& operator=(const StartupReadAhead&) = delete;

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
