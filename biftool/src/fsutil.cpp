#include "fsutil.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace bif::fsx {

fs::path from_utf8(const std::string& s) {
  std::u8string u(s.begin(), s.end());
  return fs::path(u);
}

std::string to_utf8(const fs::path& p) {
  std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

std::FILE* open(const fs::path& p, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::strlen(mode));
  return _wfopen(p.c_str(), wmode.c_str());
#else
  return std::fopen(p.c_str(), mode);
#endif
}

bool seek(std::FILE* f, u64 off) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<long long>(off), SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(off), SEEK_SET) == 0;
#endif
}

u64 size_of(std::FILE* f, const std::string& display) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) throw Error(display + ": cannot find its size: " + last_error());
  long long n = _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) throw Error(display + ": cannot find its size: " + last_error());
  long long n = ftello(f);
#endif
  if (n < 0) throw Error(display + ": cannot find its size: " + last_error());
  return static_cast<u64>(n);
}

bool rename_replace(const fs::path& from, const fs::path& to, std::string& why) {
#ifdef _WIN32
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  std::error_code ec(static_cast<int>(GetLastError()), std::system_category());
  why = ec.message();
  return false;
#else
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  why = last_error();
  return false;
#endif
}

void remove_quietly(const fs::path& p) {
  std::error_code ec;
  fs::remove(p, ec);
}

fs::path find_file_nocase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::path exact = dir / from_utf8(name);
  if (fs::is_regular_file(exact, ec)) return exact;
  fs::directory_iterator it(dir, ec);
  if (ec) return {};
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (iequals(to_utf8(it->path().filename()), name) && fs::is_regular_file(it->path(), ec)) return it->path();
  }
  return {};
}

std::string last_error() {
  int e = errno;
  return std::generic_category().message(e);
}

static char lower_c(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
static char upper_c(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool iequals(const std::string& a, const std::string& b) {
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
