// bifbench_game OUTDIR TOTAL_MB COUNT ARCHIVES: writes OUTDIR/chitin.key and OUTDIR/data/G000.bif
// and on, ARCHIVES BIFF V1 archives holding COUNT resources in all (named by the index, six types
// in turn, a sixth of them 2DA) and TOTAL_MB MiB of incompressible data (sizes vary from half to
// one and a half times the mean), written as it goes.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "writer.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: bifbench_game OUTDIR TOTAL_MB COUNT ARCHIVES\n";
        return 1;
    }
    namespace fs = std::filesystem;
    using namespace bif::gen;
    const fs::path out = argv[1];
    const bif::u64 total = std::strtoull(argv[2], nullptr, 10) << 20;
    const bif::u32 count = static_cast<bif::u32>(std::strtoul(argv[3], nullptr, 10));
    const bif::u32 bifs = static_cast<bif::u32>(std::strtoul(argv[4], nullptr, 10));
    if (!count || !total || !bifs || count / bifs > 16384) {
        std::cerr << "bifbench_game: TOTAL_MB, COUNT and ARCHIVES must be positive, at most 16384 resources each\n";
        return 1;
    }
    try {
        fs::create_directories(out / "data");
        const bif::u16 types[] = {0x03F4, 0x0001, 0x0004, 0x03ED, 0x03F1, 0x03E8};
        const bif::u64 mean = total / count;
        KeyPlan key;
        Rng rng(42);
        Bytes buf;
        bif::u64 written = 0;
        for (bif::u32 b = 0, done = 0; b < bifs; ++b) {
            char name[32];
            std::snprintf(name, sizeof name, "G%03u.bif", static_cast<unsigned>(b));
            key.bifs.push_back({std::string("data\\") + name, 0, 1});
            StreamingBiff biff(out / "data" / name);
            const bif::u32 here = (count - done) / (bifs - b);
            for (bif::u32 i = 0; i < here; ++i, ++done) {
                bif::u64 n = mean / 2 + rng.next() % (mean + 1);
                buf.resize(static_cast<std::size_t>(n));
                for (std::size_t k = 0; k + 8 <= buf.size(); k += 8) {
                    bif::u64 v = rng.next();
                    std::memcpy(&buf[k], &v, 8);
                }
                const bif::u16 type = types[done % 6];
                biff.add_file(file_locator(0, i), type, buf.data(), buf.size());
                written += n;
                char res[16];
                std::snprintf(res, sizeof res, "R%07u", static_cast<unsigned>(done));
                key.resources.push_back({res, type, file_locator(b, i)});
            }
            biff.finish();
        }
        write_file(out / "chitin.key", build_key(key));
        std::cout << "wrote " << bifs << " archives in " << (out / "data").string() << ": " << count << " resources, "
                  << written << " bytes\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "bifbench_game: " << e.what() << "\n";
        return 2;
    }
}
