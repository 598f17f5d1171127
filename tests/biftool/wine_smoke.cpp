// Windows build: runs the real biftool.exe on a generated game whose folder path is longer than
// 260 characters and whose archive name has a blank and non-ASCII letters. One Wine start.
//   biftool_wine_smoke PATH-TO-biftool.exe
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "writer.h"

namespace fs = std::filesystem;
using namespace bif::gen;

// Starts biftool.exe with a short working folder (a long one is beyond Wine and Windows); its
// output goes to ours. Returns its exit code.
static DWORD run(std::wstring exe, const std::wstring& args)
{
    if (exe[0] == L'/')
        exe = L"Z:" + fs::path(exe).make_preferred().wstring(); // a Unix path through Wine
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    DWORD code = 999;
    if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000), GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    }
    return code;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    auto whole = [](const fs::path& p) { return fs::path(L"\\\\?\\" + p.wstring()); }; // any length
    fs::path game = fs::current_path() / L"biftool wine smoke";
    for (wchar_t c : std::wstring(L"abcdef"))
        game /= std::wstring(50, c);
    const fs::path archive = game / L"data" / L"Gr\u00f6\u00dfe A.bif", out = game / L"data" / L"Gr\u00f6\u00dfe A";
    std::error_code ec;
    fs::remove_all(whole(fs::current_path() / L"biftool wine smoke"), ec),
        fs::create_directories(whole(archive.parent_path()));
    BiffPlan plan{{{file_locator(0, 1), 0x03F4, {'2', 'D', 'A', '\n'}}},
                  {{tileset_locator(0, 1), 64, Bytes(64 * 3, 7)}}};
    write_file(whole(archive), build_biff(plan));
    KeyPlan key{{{"data\\Gr\xc3\xb6\xc3\x9f"
                  "e A.bif",
                  0, 1}},
                {{"TABLE", 0x03F4, file_locator(0, 1)}, {"AR0100", 0x03EB, tileset_locator(0, 1)}}};
    write_file(whole(game / "chitin.key"), build_key(key));

    // A BIF V1.0 whose second entry lies inside the first: copied from the file written for it.
    BiffPlan shared{{{file_locator(0, 0), 0x03F4, Bytes(1000)}, {file_locator(0, 1), 0x03F4, {}}}, {}};
    for (std::size_t i = 0; i < 1000; ++i)
        shared.files[0].data[i] = static_cast<unsigned char>(i * 7);
    Bytes biff = build_biff(shared);
    bif::put32(&biff[20 + 16 + 4], bif::le32(&biff[20 + 4]) + 10), bif::put32(&biff[20 + 16 + 8], 490);
    write_file(whole(game / "data" / "Shared.bif"), compress_bif_v10(biff, "Shared.bif"));
    auto read = [&](const fs::path& p) {
        std::ifstream f(whole(p), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), {});
    };

    const std::wstring quoted = L"\"" + archive.wstring() + L"\"";
    const bool ok =
        archive.wstring().size() > 260 && run(argv[1], quoted) == 0 && run(argv[1], L"-extr " + quoted) == 0 &&
        fs::file_size(whole(out / "TABLE.2DA"), ec) == 4 &&
        fs::file_size(whole(out / "AR0100.TIS"), ec) == 24 + 64 * 3 && run(argv[1], L"-bogus") == 1 &&
        run(argv[1], L"-extr \"" + (game / "data" / "Shared.bif").wstring() + L"\"") == 4 && // not in the index
        read(game / "data" / "Shared" / "LOC00001.2DA") ==
            Bytes(shared.files[0].data.begin() + 10, shared.files[0].data.begin() + 500);
    // The whole game through the Win32 output, into a folder made with those above it: a file kept
    // on request (no replacing rename), then replaced.
    const fs::path mod = game / L"mods" / L"new" / L"mod";
    const std::wstring whole_game =
        L"--key \"" + (game / L"chitin.key").wstring() + L"\" --game -extr --out \"" + mod.wstring() + L"\"";
    const bool game_ok =
        run(argv[1], whole_game) == 0 && fs::file_size(whole(mod / "TABLE.2DA"), ec) == 4 &&
        (write_file(whole(mod / "TABLE.2DA"), Bytes(9, 'x')), run(argv[1], whole_game + L" --keep")) == 0 &&
        fs::file_size(whole(mod / "TABLE.2DA"), ec) == 9 && run(argv[1], whole_game) == 0 &&
        fs::file_size(whole(mod / "TABLE.2DA"), ec) == 4;
    fs::remove_all(whole(fs::current_path() / L"biftool wine smoke"), ec);
    std::printf("%s\n", ok && game_ok ? "all passed" : ok ? "FAILED: the whole game" : "FAILED");
    return ok && game_ok ? 0 : 1;
}
