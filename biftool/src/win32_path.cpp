#include "win32_path.h"

#include "win32_base/system_message.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace bif::win32 {

std::wstring full_path(const std::wstring& in)
{
    DWORD n = GetFullPathNameW(in.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(in.c_str(), n, full.data(), nullptr);
    if (n == 0)
        return in;
    full.resize(n);
    // The system takes a last name such as "CON.bif" for the device "\\.\CON"; the file is meant.
    if (full.rfind(L"\\\\.\\", 0) == 0 && in.rfind(L"\\\\.\\", 0) != 0) {
        std::wstring path = in;
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        bool absolute = path.rfind(L"\\\\", 0) == 0 || (path.size() > 2 && path[1] == L':' && path[2] == L'\\');
        if (absolute)
            return path;
        std::wstring dir = full_path(L".");
        return dir + (dir.back() == L'\\' ? L"" : L"\\") + path;
    }
    return full;
}

std::wstring system_path(const std::string& utf8)
{
    std::wstring in = widen(utf8.empty() ? std::string(".") : utf8);
    if (in.rfind(L"\\\\?\\", 0) == 0)
        return in;
    std::wstring full = full_path(in);
    if (full == in && GetFullPathNameW(in.c_str(), 0, nullptr, nullptr) == 0)
        return in;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string error_text(unsigned long code)
{
    const std::string text = win32_base::system_message(code);
    return text.empty() ? "system error " + std::to_string(code) : text;
}

} // namespace bif::win32
