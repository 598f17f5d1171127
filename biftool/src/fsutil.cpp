#include "fsutil.h"

#include <cerrno>
#include <system_error>


namespace bif::fsx {

fs::path from_utf8(const std::string& s) {
  std::u8string u(s.begin(), s.end());
  return fs::path(u);
}

std::string to_utf8(const fs::path& p) {
  std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

File::File(const fs::path& p, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::strlen(mode));
  f_ = _wfopen(p.c_str(), wmode.c_str());
#else
  f_ = std::fopen(p.c_str(), mode);
#endif
}

bool File::seek(u64 off) {
#ifdef _WIN32
  return _fseeki64(f_, static_cast<long long>(off), SEEK_SET) == 0;
#else
  return fseeko(f_, static_cast<off_t>(off), SEEK_SET) == 0;
#endif
}

bool File::close() {
  std::FILE* f = f_;
  f_ = nullptr;
  return !f || std::fclose(f) == 0;
}

std::string last_error() {
  int e = errno;
  return std::generic_category().message(e);
}

static char lower_c(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
static char upper_c(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower_c(a[i]) != lower_c(b[i])) return false;
  return true;
}

std::string lower(std::string s) {
  for (char& c : s) c = lower_c(c);
  return s;
}
std::string upper(std::string s) {
  for (char& c : s) c = upper_c(c);
  return s;
}

}  // namespace bif::fsx
