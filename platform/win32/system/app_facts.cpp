#include "platform/win32/system/app_facts.h"

#include "platform/win32/system/path_forms.h"
#include "platform/failure.h"
#include "platform/win32/base.h"
#include "vintrel_version.h"
#include "win32_base/windows_api.h"

namespace platform::win32 {

std::wstring folder_of(std::wstring_view program_path)
{
    // Started as "\\?\C:\Vintrel.exe", the program's folder is still the drive root "C:\".
    const std::wstring plain = plain_path(program_path);
    const std::size_t slash = plain.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return {};
    std::wstring_view folder = std::wstring_view(plain).substr(0, slash);
    // "C:" alone names the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == L':')
        return std::wstring(folder) + L'\\';
    return std::wstring(folder);
}

std::wstring program_path(std::size_t first_size)
{
    std::wstring path(first_size < 1 ? 1 : first_size, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw Failure("Cannot find the program's folder");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Truncated: the path is longer than the buffer.
        if (path.size() >= 32768)
            throw Failure("Cannot find the program's folder");
        path.resize(path.size() * 2);
    }
}

AppFacts read_app_facts()
{
    AppFacts facts;
    facts.title = "Vintrel";
    facts.folder = narrow(folder_of(program_path()));
    facts.major = VINTREL_VERSION_MAJOR;
    facts.minor = VINTREL_VERSION_MINOR;
    facts.revision = VINTREL_VERSION_PATCH;
    return facts;
}

} // namespace platform::win32
