// Windows build: runs the real biftool.exe as Vintrel does (CreateProcessW, the tool's path and
// the archive's name quoted, the archive's folder as working folder, the index one folder up),
// on a generated game in a folder whose name has a blank and non-ASCII letters. One Wine start.
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

namespace {

int failures = 0, checks = 0;
void check(bool ok, const char* what, const std::string& detail = "") {
  ++checks;
  std::printf("%s: %s%s%s\n", ok ? "ok" : "FAILED", what, detail.empty() ? "" : " -- ", detail.c_str());
  if (!ok) ++failures;
}

struct Result {
  DWORD code = 999;
  std::string out;
};

// Starts `command_line` in `cwd` with stdin from NUL and stdout+stderr into a pipe.
Result run(const std::wstring& exe, std::wstring command_line, const fs::path& cwd) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE rd = nullptr, wr = nullptr;
  CreatePipe(&rd, &wr, &sa, 0);
  SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul;
  si.hStdOutput = wr;
  si.hStdError = wr;
  PROCESS_INFORMATION pi{};
  Result r;
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      cwd.c_str(), &si, &pi)) {
    r.out = "CreateProcessW failed: " + std::to_string(GetLastError());
    CloseHandle(rd);
    CloseHandle(wr);
    CloseHandle(nul);
    return r;
  }
  CloseHandle(wr);
  CloseHandle(nul);
  char buf[4096];
  DWORD got;
  while (ReadFile(rd, buf, sizeof buf, &got, nullptr) && got) r.out.append(buf, got);
  WaitForSingleObject(pi.hProcess, 60000);
  GetExitCodeProcess(pi.hProcess, &r.code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(rd);
  return r;
}

std::wstring cmdq(const std::wstring& s) { return s.find(L' ') == std::wstring::npos ? s : L"\"" + s + L"\""; }

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
  fs::path root = fs::current_path() / L"biftool wine smoke \u00c4\u00f6";
  std::error_code ec;
  fs::remove_all(root, ec);
  fs::create_directories(root / L"data");

  // A game of one archive named with a blank and a non-ASCII letter, plus a BIFC one.
  bif::gen::BiffSpec plan;
  plan.files.push_back({bif::gen::file_locator(0, 1), 0x03F4, {'2', 'D', 'A', '\n'}});
  plan.tilesets.push_back({bif::gen::tileset_locator(0, 1), 64, std::vector<unsigned char>(64 * 3, 7)});
  bif::gen::KeySpec key;
  const std::string archive_utf8 = "Gr\xc3\xb6\xc3\x9f" "e A.bif";  // "Größe A.bif"
  key.bifs.push_back({"data\\" + archive_utf8, 0, 1});
  key.bifs.push_back({"data\\PACKED.bif", 0, 1});
  key.resources.push_back({"TABLE", 0x03F4, bif::gen::file_locator(0, 1)});
  key.resources.push_back({"AR0100", 0x03EB, bif::gen::tileset_locator(0, 1)});
  key.resources.push_back({"PACKED", 0x03F4, bif::gen::file_locator(1, 1)});
  auto biff = bif::gen::build_biff(plan);
  bif::gen::write_file(root / "data" / bif::fsx::from_utf8(archive_utf8), biff);
  auto spec2 = plan;
  spec2.files[0].locator = bif::gen::file_locator(1, 1);
  bif::gen::write_file(root / "data" / "PACKED.bif", bif::gen::compress_bifc(bif::gen::build_biff(spec2), 16));
  bif::gen::write_file(root / "chitin.key", bif::gen::build_key(key));

  const std::wstring archive = bif::fsx::from_utf8(archive_utf8).wstring();
  const fs::path data = root / "data";
  Result r = run(tool, cmdq(tool) + L" " + cmdq(archive), data);
  check(r.code == 0, "list exits 0", std::to_string(r.code));
  check(r.out.find("TABLE.2DA") != std::string::npos && r.out.find("AR0100.TIS") != std::string::npos,
        "list names the resources from the index", r.out);

  r = run(tool, cmdq(tool) + L" -extr " + cmdq(archive), data);
  check(r.code == 0, "extract exits 0", std::to_string(r.code) + " " + r.out);
  fs::path out = data / L"Gr\u00f6\u00dfe A";
  check(fs::exists(out / "TABLE.2DA") && fs::file_size(out / "TABLE.2DA") == 4, "TABLE.2DA extracted");
  check(fs::exists(out / "AR0100.TIS") && fs::file_size(out / "AR0100.TIS") == 24 + 64 * 3, "AR0100.TIS extracted");

  r = run(tool, cmdq(tool) + L" -extr PACKED.bif", data);
  check(r.code == 0 && fs::exists(data / "PACKED" / "PACKED.2DA"), "BIFC archive extracted", r.out);

  r = run(tool, cmdq(tool) + L" --version", data);
  check(r.code == 0 && r.out.find("biftool 1.00") != std::string::npos, "--version", r.out);
  r = run(tool, cmdq(tool) + L" -bogus", data);
  check(r.code == 1, "usage error exits 1", std::to_string(r.code));

  fs::remove_all(root, ec);
  std::printf("%d passed, %d failed\n", checks - failures, failures);
  return failures ? 1 : 0;
}
