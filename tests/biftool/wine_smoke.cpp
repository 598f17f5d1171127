// Windows build: runs the real biftool.exe as Vintrel does (CreateProcessW, the archive's folder
// as working folder, the index one folder up) on a generated game whose folder and archive names
// have a blank and non-ASCII letters, quoted and unquoted. One Wine start.
//   biftool_wine_smoke PATH-TO-biftool.exe
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fsutil.h"
#include "writer.h"

namespace fs = std::filesystem;
using namespace bif::gen;

namespace {

int failures = 0;
void check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  std::fflush(stdout);
  failures += !ok;
}

// Starts biftool.exe as Vintrel does; its output goes to ours. Returns its exit code.
DWORD run(const std::wstring& exe, const std::wstring& args, const fs::path& cwd) {
  std::wstring line = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(), &si, &pi))
    return 1000 + GetLastError();
  DWORD code = 999;
  WaitForSingleObject(pi.hProcess, 60000);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: biftool_wine_smoke PATH-TO-biftool.exe\n");
    return 2;
  }
  std::wstring tool = argv[1];
  if (!tool.empty() && tool[0] == L'/') {  // a Unix path handed through Wine: Z: is the root
    for (auto& c : tool)
      if (c == L'/') c = L'\\';
    tool = L"Z:" + tool;
  }
  const fs::path root = fs::current_path() / L"biftool wine smoke \u00c4\u00f6", data = root / L"data";
  std::error_code ec;
  fs::remove_all(root, ec);
  fs::create_directories(data);

  // "Größe A.bif" (BIFF V1 with a file and a tileset) and PACKED.bif (BIFC V1.0).
  const std::string archive_utf8 = "Gr\xc3\xb6\xc3\x9f" "e A.bif";
  BiffPlan plan;
  plan.files.push_back({file_locator(0, 1), 0x03F4, {'2', 'D', 'A', '\n'}});
  plan.tilesets.push_back({tileset_locator(0, 1), 64, Bytes(64 * 3, 7)});
  write_file(data / bif::fsx::from_utf8(archive_utf8), build_biff(plan));
  plan.files[0].locator = file_locator(1, 1);
  write_file(data / "PACKED.bif", compress_bifc(build_biff(plan), 16));
  KeyPlan key;
  key.bifs.push_back({"data\\" + archive_utf8, 0, 1});
  key.bifs.push_back({"data\\PACKED.bif", 0, 1});
  key.resources.push_back({"TABLE", 0x03F4, file_locator(0, 1)});
  key.resources.push_back({"AR0100", 0x03EB, tileset_locator(0, 1)});
  key.resources.push_back({"PACKED", 0x03F4, file_locator(1, 1)});
  write_file(root / "chitin.key", build_key(key));

  const std::wstring quoted = L"\"" + bif::fsx::from_utf8(archive_utf8).wstring() + L"\"";
  check(run(tool, quoted, data) == 0, "list");
  check(run(tool, L"-extr " + quoted, data) == 0, "extract");
  const fs::path out = data / L"Gr\u00f6\u00dfe A";
  check(fs::file_size(out / "TABLE.2DA", ec) == 4 && fs::file_size(out / "AR0100.TIS", ec) == 24 + 64 * 3,
        "resources extracted under their names from the index");
  check(run(tool, L"-extr PACKED.bif", data) == 0 && fs::exists(data / "PACKED" / "PACKED.2DA"),
        "unquoted BIFC archive extracted");
  check(run(tool, L"--version", data) == 0, "--version");
  check(run(tool, L"-bogus", data) == 1, "usage error exits 1");

  fs::remove_all(root, ec);
  std::printf("%s\n", failures ? "FAILED" : "all passed");
  return failures ? 1 : 0;
}
