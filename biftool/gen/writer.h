#pragma once
// Writers of the formats biftool reads, shared by the demo-game generator, the tests, the fuzzer's
// seeds and the benchmark. They write well-formed files by default; the tests bend the results
// (truncate, patch fields) to make bad input.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common.h"
#include "file.h"

namespace bif::gen {

using Bytes = std::vector<unsigned char>;

inline u32 file_locator(u32 bif, u32 file_index) { return (bif << 20) | (file_index & 0x3FFF); }
inline u32 tileset_locator(u32 bif, u32 tileset_index) { return (bif << 20) | ((tileset_index & 0x3F) << 14); }

struct BiffPlan {
    struct File {
        u32 locator = 0;
        u16 type = 0;
        Bytes data;
    };
    struct Tileset {
        u32 locator = 0;
        u32 tile_size = 0;
        Bytes data; // tiles = data.size() / tile_size
        u16 type = 0x03EB;
    };
    std::vector<File> files;
    std::vector<Tileset> tilesets;
    // Where the entry table goes: right after the header (as the original games), after the data,
    // or in the middle of the data.
    enum class Table { Front, End, Middle } table = Table::Front;
};

Bytes build_biff(const BiffPlan& plan);
// "BIF V1.0": the whole BIFF as one zlib stream, with the archive's file name in the header.
Bytes compress_bif_v10(const Bytes& biff, const std::string& name);
// "BIFC V1.0": the whole BIFF in zlib blocks of block_size uncompressed bytes.
Bytes compress_bifc(const Bytes& biff, std::size_t block_size = 8192);

struct KeyPlan {
    struct Bif {
        std::string name; // "data\\AREA000A.bif"
        u32 length = 0;
        u16 flags = 1;
    };
    struct Res {
        std::string resref; // up to 8 characters
        u16 type = 0;
        u32 locator = 0;
    };
    std::vector<Bif> bifs;
    std::vector<Res> resources;
};
Bytes build_key(const KeyPlan& plan);

// Writes bytes to a file; throws Error on failure.
void write_file(const std::filesystem::path& p, const Bytes& data);

// A BIFF V1 of any size written as it goes (data first, entry table at the end), for the
// benchmark's large archives. Memory stays proportional to the number of entries.
class StreamingBiff {
public:
    explicit StreamingBiff(const std::filesystem::path& p);
    void add_file(u32 locator, u16 type, const unsigned char* data, std::size_t n);
    void finish();

private:
    void put(const void* p, std::size_t n);
    text_util::File f_;
    std::string name_;
    u64 pos_ = 0;
    Bytes table_;
    u32 count_ = 0;
};

// Small deterministic pseudo-random generator (xorshift64*), so that content is reproducible.
struct Rng {
    u64 s;
    explicit Rng(u64 seed) : s(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    u64 next()
    {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s * 0x2545F4914F6CDD1Dull;
    }
};

} // namespace bif::gen
