#pragma once
#include <array>

#include "platform/win32/base.h"

namespace platform::win32 {

// DLLs loaded from now on are looked for in the system folder only, never in the program's
// folder, which holds whatever files came with the game. Where this Windows cannot (Windows 7
// without its loader update), the current folder is taken out of the search instead.
void restrict_dll_search();

// Loads a DLL from the system folder only, so a planted copy beside the program is never used.
Module load_system_library(const wchar_t* name);

// The system libraries that Wine's own code loads into every window's process later, by a search
// that starts in the program's folder and reads all of it; once loaded from the system folder,
// they are found loaded instead. Windows knows them all and searches for none.
using SystemLibraries = std::array<Module, 2>;
SystemLibraries preload_system_libraries();

// A function of a DLL the process has already loaded (a plain import such as kernel32), or null
// where this Windows lacks it.
template <typename F>
F system_function(const wchar_t* module, const char* name)
{
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

template <typename F>
F module_function(const Module& module, const char* name)
{
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module.get(), name))) : nullptr;
}

} // namespace platform::win32
