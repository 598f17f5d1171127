// bifbench_make OUTDIR TOTAL_MB COUNT [BIFS]: writes OUTDIR/chitin.key and OUTDIR/data/BENCH.bif,
// a BIFF V1 of COUNT resources holding TOTAL_MB MiB of incompressible data in all (sizes vary
// from half to one and a half times the mean), written as it goes. The index names the first
// 16384 resources (all that a locator's 14-bit file index can address); the rest go by locator.
// With BIFS > 1 the index lists BIFS archives with BENCH.bif last, found only after reading them
// all; its resources then go by locator (the index's locators say archive 0).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "writer.h"

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: bifbench_make OUTDIR TOTAL_MB COUNT [BIFS]\n";
        return 1;
    }
    namespace fs = std::filesystem;
    using namespace bif::gen;
    fs::path out = argv[1];
    const bif::u64 total = std::strtoull(argv[2], nullptr, 10) << 20;
    const bif::u32 count = static_cast<bif::u32>(std::strtoul(argv[3], nullptr, 10));
    const bif::u32 bifs = argc == 5 ? static_cast<bif::u32>(std::strtoul(argv[4], nullptr, 10)) : 1;
    if (!count || !total) {
        std::cerr << "bifbench_make: TOTAL_MB and COUNT must be positive\n";
        return 1;
    }
    try {
        fs::create_directories(out / "data");
        StreamingBiff biff(out / "data" / "BENCH.bif");
        KeyPlan key;
        for (bif::u32 i = 1; i < bifs; ++i)
            key.bifs.push_back({"data\\FILL" + std::to_string(i) + ".bif", 0, 1});
        key.bifs.push_back({"data\\BENCH.bif", 0, 1});
        const bif::u16 types[] = {0x03F4, 0x0001, 0x0004, 0x03ED, 0x03F1, 0x03E8};
        const bif::u64 mean = total / count;
        Rng rng(42);
        Bytes buf;
        bif::u64 written = 0;
        for (bif::u32 i = 0; i < count; ++i) {
            bif::u64 n = i + 1 == count ? (total > written ? total - written : 0) : mean / 2 + rng.next() % (mean + 1);
            buf.resize(static_cast<std::size_t>(n));
            for (std::size_t k = 0; k + 8 <= buf.size(); k += 8) {
                bif::u64 v = rng.next();
                std::memcpy(&buf[k], &v, 8);
            }
            bif::u16 type = types[i % 6];
            bif::u32 loc = i; // file index i; from 16384 on it spills into the tileset bits
            biff.add_file(loc, type, buf.data(), buf.size());
            written += n;
            if (i < 16384) {
                char name[16];
                std::snprintf(name, sizeof name, "BN%05u", static_cast<unsigned>(i));
                key.resources.push_back({name, type, loc});
            }
        }
        biff.finish();
        write_file(out / "chitin.key", build_key(key));
        std::cout << "wrote " << (out / "data" / "BENCH.bif").string() << ": " << count << " resources, " << written
                  << " bytes\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "bifbench_make: " << e.what() << "\n";
        return 2;
    }
}
