// Bad input of every kind gives a clear error naming the file: never a crash, a hang or a huge allocation.
#include <doctest.h>

#include "test_util.h"

using namespace bt;

namespace {

// Opens and extracts the archive (with the index) as biftool does; returns the first error.
std::string error_of(const Bytes& archive, const Bytes* key = nullptr)
try {
    extract_memory(TempDir("bad").path / "TEST", archive, key);
    return "";
} catch (const bif::Error& e) {
    return e.what();
}

Bytes patched32(Bytes b, std::size_t off, bif::u32 v) { return bif::put32(&b[off], v), b; }
} // namespace

TEST_SUITE("badinput") {
TEST_CASE("archives and indexes: not ours, cut short, corrupt, hostile counts, offsets and sizes")
{
    Sample s = sample_archive();
    Bytes v10 = bif::gen::compress_bif_v10(s.biff, "TEST.bif"), bifc = bif::gen::compress_bifc(s.biff, 1000);
    Bytes key = bif::gen::build_key(s.key);
    const std::size_t lens = 12 + 9; // the V1.0 lengths follow the name
    Bytes v10_cut(v10.begin(), v10.begin() + v10.size() / 2), v10_bad = v10, bifc_bad = bifc, empties = bifc;
    bif::put32(&v10_cut[lens + 4], static_cast<bif::u32>(v10_cut.size() - lens - 8));
    for (std::size_t i = lens + 10; i < v10_bad.size(); i += 3)
        v10_bad[i] ^= 0x5A;
    for (std::size_t i = 30; i < bifc_bad.size(); i += 5)
        bifc_bad[i] ^= 0xA5;
    empties.assign(12 + 8 * 20000, 0); // thousands of empty blocks are walked, not looped over
    std::copy(bifc.begin(), bifc.begin() + 12, empties.begin());
    // Tile count times tile size overflows 32 bits.
    Bytes tiles_overflow = patched32(patched32(s.biff, 20 + 16 * 4 + 8, 0xFFFFFFFF), 20 + 16 * 4 + 12, 0xFFFFFFFF);
    const std::tuple<Bytes, Bytes, std::string> rows[] = {
        {text("PK\x03\x04xxxxxxxxxxxx"), {}, "TEST.bif: not a BIF archive: it starts with \"PK??xxxx\""},
        {text("BIFFV1  \x01"), {}, "TEST.bif: truncated: BIFF has 9 bytes"},
        {patched32(s.biff, 16, 0xFFFFFFF0), {}, "TEST.bif: truncated or corrupt: its entry table"},
        {patched32(s.biff, 12, 0x7FFFFFFF), {}, "more than the 1048576"},
        {patched32(s.biff, 20 + 16 + 8, 0x7FFFFFF0), {}, "TEST.bif: truncated or corrupt: resource with locator"},
        {tiles_overflow, {}, "TEST.bif: truncated or corrupt: resource (tileset)"},
        {patched32(v10, 8, 0xFFFFFFFF), {}, "TEST.bif: truncated or corrupt: the BIF V1.0 header declares"},
        {patched32(v10, lens + 4, 0xFFFFFF), {}, "TEST.bif: truncated: it declares 16777215 compressed bytes"},
        {patched32(v10, lens, static_cast<bif::u32>(s.biff.size() - 5000)),
         {},
         "TEST.bif: truncated or corrupt: resource"},
        {v10_cut, {}, "TEST.bif: truncated"},
        {v10_bad, {}, "TEST.bif: corrupt"},
        {bif::gen::compress_bif_v10(text("NOT A BIFF, BUT LONG ENOUGH"), "x"), {}, "does not start with \"BIFFV1  \""},
        {patched32(bifc, 12, 0x7FFFFFFF), {}, "beyond the archive's declared uncompressed size"},
        {patched32(bifc, 16, 0x7FFFFFFF), {}, "TEST.bif: truncated: compressed block 1 declares"},
        {bifc_bad, {}, "TEST.bif: "},
        {empties, {}, "TEST.bif: truncated"},
        {s.biff, text("KEY V2  xxxxxxxxxxxxxxxxxxxx"), "chitin.key: not a game index"},
        {s.biff, Bytes(key.begin(), key.begin() + 30), "chitin.key: corrupt: its 2 BIF entries"},
        {s.biff, patched32(key, 8, 0xFFFFFFFF), "chitin.key: corrupt: its 4294967295 BIF entries"},
        {s.biff, patched32(key, 12, 0x10000000), "chitin.key: corrupt: its 268435456 resource entries"},
        {s.biff, patched32(key, 16, 0xFFFFFF00), "BIF entries at byte 4294967040"},
        {s.biff, patched32(key, 20, static_cast<bif::u32>(key.size())), "resource entries at byte"}};
    for (const auto& [archive, index, message] : rows) {
        CAPTURE(message);
        CHECK(contains(error_of(archive, index.empty() ? nullptr : &index), message));
    }
}

TEST_CASE("a million entries in 32 KiB, all pointing past the end: memory stays near the 16 MiB table")
{
    TempDir t("million");
    Bytes biff(20 + (16 << 20), 0);
    std::memcpy(biff.data(), "BIFFV1  ", 8), bif::put32(&biff[8], 1 << 20), bif::put32(&biff[16], 20);
    for (std::size_t i = 20; i < biff.size(); i += 16)
        bif::put32(&biff[i + 4], 0xFFFFFFF0);
    write_all(t.path / "MANY.bif", bif::gen::compress_bifc(biff, 1 << 20));
    Run r = run_biftool({"-extr", "MANY.bif"}, t.path, "ulimit -v 80000 &&");
    CHECK(contains(r.err, "... and 1048566 more errors\nbiftool: 1048576 of 1048576 resources could not"));
}

TEST_CASE("a compressed stream read back and forth meets the bound its entry table sets, not a hang")
{
    // 40 MiB inflated for 1 MiB of entries: beyond what the table explains, below what its size would.
    bif::gen::BiffPlan one{{{0, 0x03F4, pattern(1 << 20, 5)}}, {}};
    Bytes z = bif::gen::compress_bif_v10(bif::gen::build_biff(one), "TEST.bif");
    bif::MemorySource src(z.data(), z.size(), "TEST.bif");
    bif::Archive a(src);
    std::string error;
    try {
        unsigned char b;
        for (int i = 0; i < 40; ++i)
            a.data().read(a.data().size() - 1, &b, 1), a.data().read(20, &b, 1);
    } catch (const bif::Error& e) {
        error = e.what();
    }
    CHECK(contains(error, "TEST.bif: needs far more decompression than its entry table explains"));
}
}
