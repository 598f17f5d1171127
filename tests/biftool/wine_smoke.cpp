// Windows build: runs the real biftool.exe (CreateProcessW, the index one folder above the
// archive) on a generated game whose folder path is longer than 260 characters and whose archive
// name has a blank and non-ASCII letters. One Wine start.
//   biftool_wine_smoke PATH-TO-biftool.exe
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

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

// Starts biftool.exe in folder cwd; its output goes to ours. Returns its exit code.
DWORD run(const std::wstring& exe, const std::wstring& args, const fs::path& cwd) {
  std::wstring line = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{sizeof si};
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
  if (argc != 2) return std::fprintf(stderr, "usage: biftool_wine_smoke PATH-TO-biftool.exe\n"), 2;
  std::wstring tool = fs::path(argv[1]).make_preferred().wstring();
  if (tool[0] == L'\\') tool = L"Z:" + tool;  // a Unix path handed through Wine: Z: is the root
  const fs::path root = fs::current_path() / L"biftool wine smoke \u00c4\u00f6";
  fs::path game = root;
  for (int i = 0; i < 6; ++i) game /= std::wstring(50, L'a' + i);
  const fs::path data = game / L"data", archive = data / L"Gr\u00f6\u00dfe A.bif", out = data / L"Gr\u00f6\u00dfe A";
  std::error_code ec;
  fs::remove_all(L"\\\\?\\" + root.wstring(), ec);
  fs::create_directories(L"\\\\?\\" + data.wstring());
  check(archive.wstring().size() > 260, "the archive's path is longer than 260 characters");

  BiffPlan plan;
  plan.files.push_back({file_locator(0, 1), 0x03F4, {'2', 'D', 'A', '\n'}});
  plan.tilesets.push_back({tileset_locator(0, 1), 64, Bytes(64 * 3, 7)});
  write_file(L"\\\\?\\" + archive.wstring(), build_biff(plan));
  KeyPlan key{{{"data\\Gr\xc3\xb6\xc3\x9f" "e A.bif", 0, 1}},
              {{"TABLE", 0x03F4, file_locator(0, 1)}, {"AR0100", 0x03EB, tileset_locator(0, 1)}}};
  write_file(L"\\\\?\\" + (game / "chitin.key").wstring(), build_key(key));

  // A working folder that long is beyond Wine (and Windows): the archive is named in full.
  const std::wstring quoted = L"\"" + archive.wstring() + L"\"";
  check(run(tool, quoted, root) == 0, "list");
  check(run(tool, L"-extr " + quoted, root) == 0, "extract");
  check(fs::file_size(L"\\\\?\\" + (out / "TABLE.2DA").wstring(), ec) == 4 &&
            fs::file_size(L"\\\\?\\" + (out / "AR0100.TIS").wstring(), ec) == 24 + 64 * 3,
        "resources extracted under their names from the index");
  check(run(tool, L"-bogus", root) == 1, "usage error exits 1");

  fs::remove_all(L"\\\\?\\" + root.wstring(), ec);
  std::printf("%s\n", failures ? "FAILED" : "all passed");
  return failures ? 1 : 0;
}
