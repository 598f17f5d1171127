#include "system_library.h"

namespace platform::win32 {

Module load_system_library(const wchar_t* name)
{
    return Module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

} // namespace platform::win32
