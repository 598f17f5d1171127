#include "input_file.h"
#include "win32_handle.h"
#include "win32_path.h"

namespace bif {

namespace {
HANDLE handle_of(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
} // namespace

InputFile::InputFile(const std::string& path, const std::string& shown) : shown_(shown)
{
    std::wstring wide = win32::system_path(path);
    DWORD attrs = GetFileAttributesW(wide.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(shown + ": is a folder, not a file");
    win32::Handle h(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        throw Error(shown + ": cannot open: " + win32::error_text(GetLastError()));
    // A pipe or a device would block or have no size.
    if (GetFileType(h.get()) != FILE_TYPE_DISK)
        throw Error(shown + ": is a pipe or a device, not a file");
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h.get(), &size))
        throw Error(shown + ": cannot find its size: " + win32::error_text(GetLastError()));
    size_ = static_cast<u64>(size.QuadPart);
    handle_ = reinterpret_cast<std::intptr_t>(h.release());
}

InputFile::~InputFile() { CloseHandle(handle_of(handle_)); }

void InputFile::read(u64 off, void* dst, std::size_t n)
{
    auto* p = static_cast<unsigned char*>(dst);
    while (n > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(off);
        at.OffsetHigh = static_cast<DWORD>(off >> 32);
        DWORD chunk = static_cast<DWORD>(n < (1u << 30) ? n : (1u << 30)), got = 0;
        BOOL ok = ReadFile(handle_of(handle_), p, chunk, &got, &at);
        DWORD e = ok ? ERROR_HANDLE_EOF : GetLastError();
        if (!ok || got == 0)
            throw Error(shown_ + ": cannot read " + std::to_string(n) + " bytes at " + std::to_string(off) + ": " +
                        (e == ERROR_HANDLE_EOF ? std::string("unexpected end of file") : win32::error_text(e)));
        p += got;
        off += got;
        n -= got;
    }
}

std::string absolute_path(const std::string& path)
{
    return win32::narrow(win32::full_path(win32::widen(path.empty() ? std::string(".") : path)));
}

bool path_exists(const std::string& path)
{
    return GetFileAttributesW(win32::system_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
std::string in_folder(const std::string& dir, const std::string& name)
{
    return dir.empty() ? name : dir + (dir.back() == '\\' || dir.back() == '/' ? "" : "\\") + name;
}
} // namespace

// Windows compares names without regard to case already.
std::string find_file_nocase(const std::string& dir, const std::string& name)
{
    std::string path = in_folder(dir, name);
    DWORD attrs = GetFileAttributesW(win32::system_path(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY) ? path : std::string();
}

std::string find_folder_nocase(const std::string& dir, const std::string& name)
{
    std::string path = in_folder(dir, name);
    DWORD attrs = GetFileAttributesW(win32::system_path(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) ? path : std::string();
}

std::vector<std::string> folders_in(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((win32::system_path(in_folder(dir.empty() ? "." : dir, "*"))).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string n = win32::narrow(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && n != "." && n != "..")
            names.push_back(n);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace bif
