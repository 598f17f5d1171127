#include "platform/win32/system/system_library.h"

#include <string>

namespace platform::win32 {

void restrict_dll_search()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    static const auto set_default =
        system_function<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // A Windows 7 without its loader update: the current folder at least leaves the search.
    SetDllDirectoryW(L"");
}

Module load_system_library(const wchar_t* name)
{
    if (const HMODULE loaded = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return Module(loaded);
    // Where the loader does not know the flag, the DLL is named by its full path in the system
    // folder, and its own imports are looked for beside it first.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return Module();
    const std::wstring path = std::wstring(folder, length) + L'\\' + name;
    return Module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

SystemLibraries preload_system_libraries()
{
    return {load_system_library(L"ole32.dll"), load_system_library(L"msimg32.dll")};
}

} // namespace platform::win32
