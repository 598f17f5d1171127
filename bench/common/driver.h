#pragma once
// What the benchmarks' drivers share: their options and finding Vintrel's window.
#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <string>

namespace bench {

inline std::wstring option(int argc, wchar_t** argv, const wchar_t* name, const wchar_t* fallback)
{
    const std::wstring prefix = std::wstring(L"--") + name + L"=";
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            return argv[i] + prefix.size();
    }
    if (!fallback)
        throw std::runtime_error("missing option");
    return fallback;
}

// The process's top-level window with this title.
inline HWND top_window(DWORD process, const wchar_t* title)
{
    struct Search {
        DWORD process;
        const wchar_t* title;
        HWND found;
    } search{process, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[64] = {};
            GetWindowTextW(window, text, 64);
            if (owner != s.process || std::wcscmp(text, s.title) != 0)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace bench
