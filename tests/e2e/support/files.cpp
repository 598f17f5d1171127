#include "support/files.h"

#include "support/text.h"

#include <windows.h>

#include <stdexcept>

namespace e2e {

std::string windows_path(const std::string& path)
{
    std::string out = path;
    for (char& c : out)
        if (c == '/') c = '\\';
    // Wine maps the Unix root to drive Z:.
    if (!path.empty() && path[0] == '/') out = "Z:" + out;
    return out;
}

std::string join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

bool exists(const std::string& path)
{
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void write_file(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path)
{
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    CloseHandle(h);
    return out;
}

void copy_file(const std::string& from, const std::string& to)
{
    if (!CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

void remove_file(const std::string& path)
{
    SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(wide(path).c_str())) throw std::runtime_error("cannot remove " + path);
}

void make_folder(const std::string& path)
{
    if (!CreateDirectoryW(wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot make folder " + path);
}

bool set_attributes(const std::string& path, unsigned long attributes)
{
    std::wstring p = wide(path);
    if (!SetFileAttributesW(p.c_str(), attributes)) return false;
    DWORD now = GetFileAttributesW(p.c_str());
    return now != INVALID_FILE_ATTRIBUTES && (now & attributes) == attributes;
}

namespace {

void remove_tree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

TempFolder::TempFolder(const std::string& name)
{
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
    std::string base = utf8(std::wstring(temp, n));
    // The process id keeps runs side by side apart; a leftover of a killed run is reused.
    path_ = join(base, name + "-" + std::to_string(GetCurrentProcessId()));
    remove_tree(wide(path_));
    make_folder(path_);
}

TempFolder::~TempFolder()
{
    remove_tree(wide(path_));
}

} // namespace e2e
