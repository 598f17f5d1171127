#include "platform/win32/system/path_forms.h"

#include "win32_base/windows_api.h"

namespace platform::win32 {
namespace {

constexpr std::wstring_view extended_prefix = L"\\\\?\\";
constexpr std::wstring_view extended_unc_prefix = L"\\\\?\\UNC\\";

bool is_drive_path(std::wstring_view path) { return path.size() >= 3 && path[1] == L':' && path[2] == L'\\'; }

} // namespace

std::wstring plain_path(std::wstring_view path)
{
    if (path.starts_with(extended_unc_prefix))
        return L"\\\\" + std::wstring(path.substr(extended_unc_prefix.size()));
    if (path.starts_with(extended_prefix) && is_drive_path(path.substr(extended_prefix.size())))
        return std::wstring(path.substr(extended_prefix.size()));
    return std::wstring(path);
}

std::wstring extended_path(std::wstring_view path)
{
    if (path.size() < MAX_PATH)
        return std::wstring(path);
    if (is_drive_path(path))
        return std::wstring(extended_prefix) + std::wstring(path);
    if (path.starts_with(L"\\\\") && !path.starts_with(extended_prefix) && !path.starts_with(L"\\\\.\\"))
        return std::wstring(extended_unc_prefix) + std::wstring(path.substr(2));
    return std::wstring(path);
}

// A working folder takes a backslash at its end, and the whole stays under MAX_PATH.
bool fits_old_limit(std::wstring_view path) { return path.size() + 2 <= MAX_PATH; }

std::wstring short_path(std::wstring_view path)
{
    const std::wstring source = extended_path(path);
    std::wstring found(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetShortPathNameW(source.c_str(), found.data(), static_cast<DWORD>(found.size()));
        if (length == 0)
            return {};
        if (length < found.size()) {
            found.resize(length);
            return plain_path(found);
        }
        // Too small: the answer is the size it needs.
        found.assign(length, L'\0');
    }
    return {};
}

} // namespace platform::win32
