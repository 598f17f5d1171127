// bifdemo OUTDIR: writes a small synthetic demo game (OUTDIR/chitin.key, OUTDIR/data/*.bif).
#include <cstdio>
#include <iostream>
#include <string>

#include "demo.h"
#include "text_util.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
static std::string arg_utf8(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<std::size_t>(n) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}
int wmain(int argc, wchar_t** argv)
{
    std::string out = argc == 2 ? arg_utf8(argv[1]) : std::string();
#else
int main(int argc, char** argv)
{
    std::string out = argc == 2 ? std::string(argv[1]) : std::string();
#endif
    if (argc != 2 || out.empty() || out[0] == '-') {
        std::cerr << "Usage: bifdemo OUTDIR\n"
                     "Writes a small synthetic demo game: OUTDIR/chitin.key and OUTDIR/data/*.bif.\n";
        return 1;
    }
    try {
        auto made = bif::gen::write_demo_game(bif::text_util::from_utf8(out));
        std::cout << "Wrote " << out << "/chitin.key and " << made.size() << " archives in " << out << "/data:\n";
        for (const auto& a : made)
            std::cout << "  " << a.file_name << " (" << a.format << ", " << a.resources.size() << " resources)\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "bifdemo: " << e.what() << "\n";
        return 2;
    }
}
