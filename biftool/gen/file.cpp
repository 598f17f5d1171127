#include "file.h"

#include <cstring>

namespace bif::text_util {

fs::path from_utf8(const std::string& s)
{
    std::u8string u(s.begin(), s.end());
    return fs::path(u);
}

std::string to_utf8(const fs::path& p)
{
    std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

File::File(const fs::path& p, const char* mode)
{
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    f_ = _wfopen(p.c_str(), wmode.c_str());
#else
    f_ = std::fopen(p.c_str(), mode);
#endif
}

bool File::seek(u64 off)
{
#ifdef _WIN32
    return _fseeki64(f_, static_cast<long long>(off), SEEK_SET) == 0;
#else
    return fseeko(f_, static_cast<off_t>(off), SEEK_SET) == 0;
#endif
}

bool File::close()
{
    std::FILE* f = f_;
    f_ = nullptr;
    return !f || std::fclose(f) == 0;
}

} // namespace bif::text_util
