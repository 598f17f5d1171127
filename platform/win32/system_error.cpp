#include "system_error.h"

#include "text.h"
#include "windows_api.h"

namespace platform::win32 {

std::string system_error_text(unsigned long code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "File not found";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
        return "Path not found";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    default:
        break;
    }
    wchar_t* words = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring text = length ? std::wstring(words, length) : std::wstring();
    LocalFree(words);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? "System error " + std::to_string(code) : narrow(text);
}

} // namespace platform::win32
