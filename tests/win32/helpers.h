#pragma once
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win32/app_facts.h"
#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace test {

// A fresh folder under the temporary folder, removed with what it holds at the end of the test.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        path_ = platform::win32::narrow(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount64());
        CreateDirectoryW(platform::win32::widen(path_).c_str(), nullptr);
    }
    ~TempFolder() { remove(platform::win32::widen(path_)); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    void touch(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        const HANDLE h = CreateFileW(platform::win32::widen(file(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     attributes, nullptr);
        CloseHandle(h);
    }

private:
    static void remove(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove(path);
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::string path_;
};

// The key=value lines of a file once it exists, or nothing after the time allowed.
inline std::map<std::string, std::string> wait_for_record(const std::string& path, int seconds = 20)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(platform::win32::widen(path).c_str(), std::ios::binary);
        if (file) {
            std::map<std::string, std::string> record;
            std::string line;
            while (std::getline(file, line)) {
                const auto eq = line.find('=');
                if (eq != std::string::npos)
                    record[line.substr(0, eq)] = line.substr(eq + 1);
            }
            return record;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

inline std::string this_folder() { return platform::win32::read_app_facts().folder; }

} // namespace test
