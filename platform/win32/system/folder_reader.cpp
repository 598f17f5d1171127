#include "platform/win32/system/folder_reader.h"

#include <string_view>

#include "platform/win32/base.h"
#include "platform/failure.h"
#include "platform/win32/system/path_forms.h"

namespace platform::win32 {

std::vector<FileEntry> read_folder(const std::string& folder)
{
    std::wstring pattern = extended_path(widen(folder));
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';

    // Only names and attributes are needed, so no short names (FindExInfoBasic), and the folder is
    // read in large batches: a folder of thousands of archives is read in a few calls, not thousands.
    WIN32_FIND_DATAW found{};
    const FindHandle search(valid_or_null(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)));
    if (!search) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return {};
        throw Failure("Path not found");
    }

    std::vector<FileEntry> entries;
    do {
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..")
            continue;
        FileEntry entry;
        entry.name = narrow(name);
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &found));
    return entries;
}

} // namespace platform::win32
