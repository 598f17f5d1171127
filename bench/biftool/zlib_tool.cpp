// bifbench_zlib, the compressed side of the biftool benchmark (bench/biftool/run.sh):
//   bifbench_zlib compress v10|bifc IN.bif OUT   a BIFF V1 as "BIF V1.0" (one zlib stream) or
//                                                "BIFC V1.0" (zlib blocks of 8 KiB), written as it goes
//   bifbench_zlib inflate ARCHIVE                inflates its stream (every block) and drops the bytes:
//                                                what extraction cannot do without
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common.h"

namespace {

using bif::u32;
using bif::u64;
using Bytes = std::vector<unsigned char>;

constexpr std::size_t chunk = 1 << 20, bifc_block = 8192;

void put(std::ostream& o, u32 v)
{
    unsigned char b[4];
    bif::put32(b, v);
    o.write(reinterpret_cast<const char*>(b), 4);
}

// Deflates `in` whole into `out` at the default level; returns the compressed size.
u64 deflate_stream(std::istream& in, std::ostream& out, u64 n)
{
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw bif::Error("zlib: cannot start");
    Bytes ib(chunk), ob(chunk);
    u64 made = 0;
    int flush = Z_NO_FLUSH;
    do {
        std::size_t take = static_cast<std::size_t>(std::min<u64>(n, chunk));
        in.read(reinterpret_cast<char*>(ib.data()), static_cast<std::streamsize>(take));
        n -= take;
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = ib.data();
        z.avail_in = static_cast<uInt>(take);
        do {
            z.next_out = ob.data();
            z.avail_out = static_cast<uInt>(ob.size());
            deflate(&z, flush);
            std::size_t got = ob.size() - z.avail_out;
            out.write(reinterpret_cast<const char*>(ob.data()), static_cast<std::streamsize>(got));
            made += got;
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    return made;
}

int compress(const std::string& kind, const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    in.seekg(0, std::ios::end);
    const u64 size = static_cast<u64>(in.tellg());
    in.seekg(0);
    if (kind == "v10") {
        const std::string name = "BENCH.bif";
        out.write("BIF V1.0", 8);
        put(out, static_cast<u32>(name.size() + 1));
        out.write(name.c_str(), static_cast<std::streamsize>(name.size() + 1));
        put(out, static_cast<u32>(size));
        const std::streampos length_at = out.tellp();
        put(out, 0);
        u64 clen = deflate_stream(in, out, size);
        out.seekp(length_at);
        put(out, static_cast<u32>(clen));
    } else {
        out.write("BIFCV1.0", 8);
        put(out, static_cast<u32>(size));
        Bytes ib(bifc_block), ob(compressBound(bifc_block));
        for (u64 left = size; left > 0;) {
            std::size_t take = static_cast<std::size_t>(std::min<u64>(left, bifc_block));
            in.read(reinterpret_cast<char*>(ib.data()), static_cast<std::streamsize>(take));
            uLongf clen = static_cast<uLongf>(ob.size());
            if (compress2(ob.data(), &clen, ib.data(), take, Z_DEFAULT_COMPRESSION) != Z_OK)
                throw bif::Error("zlib: compression failed");
            put(out, static_cast<u32>(take));
            put(out, static_cast<u32>(clen));
            out.write(reinterpret_cast<const char*>(ob.data()), static_cast<std::streamsize>(clen));
            left -= take;
        }
    }
    if (!in || !out.flush())
        throw bif::Error(to + ": cannot write");
    return 0;
}

// Inflates `clen` bytes of `in` as one zlib stream into a buffer that is dropped; returns its size.
u64 inflate_stream(std::istream& in, u64 clen, Bytes& ib, Bytes& ob)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw bif::Error("zlib: cannot start");
    u64 made = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END && clen > 0) {
        std::size_t take = static_cast<std::size_t>(std::min<u64>(clen, ib.size()));
        in.read(reinterpret_cast<char*>(ib.data()), static_cast<std::streamsize>(take));
        clen -= take;
        z.next_in = ib.data();
        z.avail_in = static_cast<uInt>(take);
        do {
            z.next_out = ob.data();
            z.avail_out = static_cast<uInt>(ob.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                throw bif::Error("zlib: corrupt stream");
            made += ob.size() - z.avail_out;
        } while (z.avail_out == 0 && rc != Z_STREAM_END);
    }
    inflateEnd(&z);
    return made;
}

int inflate_all(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char h[12];
    in.read(reinterpret_cast<char*>(h), 12);
    Bytes ib(chunk), ob(chunk);
    u64 made = 0;
    if (std::memcmp(h, "BIF V1.0", 8) == 0) {
        in.seekg(bif::le32(h + 8), std::ios::cur);
        unsigned char l[8];
        in.read(reinterpret_cast<char*>(l), 8);
        made = inflate_stream(in, bif::le32(l + 4), ib, ob);
    } else {
        unsigned char b[8];
        for (u64 want = bif::le32(h + 8); made < want && in.read(reinterpret_cast<char*>(b), 8);)
            made += inflate_stream(in, bif::le32(b + 4), ib, ob);
    }
    std::cout << made << " bytes inflated\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "compress" && argc == 5 && (std::string(argv[2]) == "v10" || std::string(argv[2]) == "bifc"))
            return compress(argv[2], argv[3], argv[4]);
        if (mode == "inflate" && argc == 3)
            return inflate_all(argv[2]);
        std::cerr << "usage: bifbench_zlib compress v10|bifc IN.bif OUT | bifbench_zlib inflate ARCHIVE\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "bifbench_zlib: " << e.what() << "\n";
        return 2;
    }
}
