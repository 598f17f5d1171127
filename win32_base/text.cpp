#include "text.h"

#include <climits>
#include <stdexcept>

#include "windows_api.h"

namespace win32_base {

std::wstring widen(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    if (utf8.size() > INT_MAX)
        throw std::runtime_error("Out of memory");
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    if (utf16.size() > INT_MAX)
        throw std::runtime_error("Out of memory");
    const int size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

} // namespace win32_base
