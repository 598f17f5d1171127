// Bad input of every kind gives a clear error naming the file, never a crash, a hang or a huge
// allocation.
#include <doctest.h>

#include <chrono>

#include "extract.h"
#include "source.h"
#include "test_util.h"

using namespace bt;
using bif::gen::BiffSpec;

namespace {

// Opens (and, if that works, extracts) the archive; returns the error text, "" if none.
std::string archive_error(const Bytes& b, const Bytes* key = nullptr) {
  TempDir t("bad");
  try {
    extract_memory(t.path, b, key, "BAD.bif");
    return "";
  } catch (const bif::Error& e) {
    return e.what();
  }
}

std::string key_error(const Bytes& key) {
  try {
    bif::MemorySource src(key.data(), key.size(), "chitin.key");
    bif::Key k(src);
    k.find_bif("X.bif");
    k.for_each_resource([](const bif::KeyResource&) {});
    return "";
  } catch (const bif::Error& e) {
    return e.what();
  }
}

Bytes patched32(Bytes b, std::size_t off, bif::u32 v) {
  bif::put32(&b[off], v);
  return b;
}

}  // namespace

TEST_SUITE("badinput") {
  TEST_CASE("archives that are not archives, or cut short") {
    Sample s = sample_archive();
    CHECK(contains(archive_error({}), "BAD.bif: not a BIF archive"));
    CHECK(contains(archive_error(text("BIFF")), "BAD.bif: not a BIF archive"));
    CHECK(contains(archive_error(text("PK\x03\x04xxxxxxxxxxxxxxxxxxxxxx")), "not a BIF archive: it starts with \"PK??xxxx\""));
    CHECK(contains(archive_error(text("BIFFV1  \x01")), "BAD.bif: truncated: BIFF has 9 bytes"));
    // Every cut of a good archive fails with a message, or (cut only in resource data) extracts
    // the intact part and reports the rest.
    for (std::size_t n = 0; n < s.biff.size(); n += 97) {
      Bytes cut(s.biff.begin(), s.biff.begin() + static_cast<long>(n));
      std::string e = archive_error(cut);
      CHECK_MESSAGE(contains(e, "BAD.bif"), n);
    }
  }

  TEST_CASE("entry table beyond the file, hostile counts") {
    Sample s = sample_archive();
    CHECK(contains(archive_error(patched32(s.biff, 16, 0xFFFFFFF0)), "entry table"));
    CHECK(contains(archive_error(patched32(s.biff, 8, 100000)), "does not fit"));
    CHECK(contains(archive_error(patched32(s.biff, 8, 0xFFFFFFFF)), "more than the 1048576"));
    CHECK(contains(archive_error(patched32(s.biff, 12, 0x7FFFFFFF)), "more than the 1048576"));
  }

  TEST_CASE("an entry pointing outside the archive is reported, the others extracted") {
    TempDir t("damaged");
    Sample s = sample_archive();
    Bytes b = patched32(s.biff, 20 + 16 * 1 + 8, 0x7FFFFFFF);  // size of the second file entry
    bif::MemorySource src(b.data(), b.size(), "BAD.bif");
    bif::Archive a(src);
    CHECK(a.entries()[1].damaged);
    CHECK(contains(a.problem(a.entries()[1]), "BAD.bif: truncated or corrupt: resource with locator"));
    auto plan = bif::plan_names(a, nullptr, -1);
    auto st = bif::extract_all(a, plan, t.path / "BAD", nullptr);
    CHECK(st.files == 5);
    CHECK(st.errors.size() == 1);
    CHECK_FALSE(st.stopped);
    CHECK(files_in(t.path / "BAD").size() == 5);
    // A tileset whose tile count times tile size overflows 32 bits.
    Bytes tb = patched32(patched32(s.biff, 20 + 16 * 4 + 8, 0xFFFFFFFF), 20 + 16 * 4 + 12, 0xFFFFFFFF);
    bif::MemorySource tsrc(tb.data(), tb.size(), "BAD.bif");
    CHECK(bif::Archive(tsrc).entries()[4].damaged);
  }

  TEST_CASE("overlapping entries that would unpack a small archive into a huge one") {
    BiffSpec plan;
    plan.files.push_back({0, 0x03F4, pattern(100000, 1)});
    Bytes b = bif::gen::build_biff(plan);
    // Append 100 more entries covering the same data by copying the header's table entry.
    Bytes table(b.begin() + 20, b.begin() + 36);
    Bytes big(b.begin(), b.end());
    bif::put32(&big[16], static_cast<bif::u32>(big.size()));
    for (int i = 0; i < 101; ++i) big.insert(big.end(), table.begin(), table.end());
    bif::put32(&big[8], 101);
    CHECK(contains(archive_error(big), "overlapping entries"));
  }

  TEST_CASE("BIF V1.0: bad header fields, truncated and corrupt streams") {
    Sample s = sample_archive();
    Bytes z = bif::gen::compress_bif_v10(s.biff, "TEST.bif");
    CHECK(contains(archive_error(patched32(z, 8, 0xFFFFFFFF)), "name that does not fit"));
    std::size_t lens = 12 + 9;  // after the name
    CHECK(contains(archive_error(patched32(z, lens + 4, 0xFFFFFF)), "compressed bytes"));
    // Declares less uncompressed data than the entries need.
    CHECK(contains(archive_error(patched32(z, lens, static_cast<bif::u32>(s.biff.size() - 5000))),
                   "BAD.bif: truncated or corrupt: resource"));
    // Stream cut short (the compressed length adjusted to match).
    Bytes cut(z.begin(), z.begin() + static_cast<long>(z.size() / 2));
    bif::put32(&cut[lens + 4], static_cast<bif::u32>(cut.size() - lens - 8));
    CHECK(contains(archive_error(cut), "BAD.bif: truncated"));
    // Garbage in the stream.
    Bytes bad = z;
    for (std::size_t i = lens + 8 + 2; i < bad.size(); i += 3) bad[i] ^= 0x5A;
    CHECK(contains(archive_error(bad), "BAD.bif: corrupt"));
    // A valid stream that is not a BIFF.
    Bytes notbiff = bif::gen::compress_bif_v10(text("HELLO WORLD, NOT A BIFF"), "x");
    CHECK(contains(archive_error(notbiff), "does not start with \"BIFFV1  \""));
  }

  TEST_CASE("BIFC V1.0: blocks beyond the file, beyond the declared size, corrupt") {
    Sample s = sample_archive();
    Bytes z = bif::gen::compress_bifc(s.biff, 1000);
    CHECK(contains(archive_error(Bytes(z.begin(), z.begin() + 10)), "truncated"));
    CHECK(contains(archive_error(patched32(z, 12, 0x7FFFFFFF)), "beyond the archive's declared uncompressed size"));
    CHECK(contains(archive_error(patched32(z, 16, 0x7FFFFFFF)), "compressed bytes"));
    CHECK(contains(archive_error(patched32(z, 8, 0x7FFFFFFF)), "BAD.bif: truncated"));
    Bytes cut(z.begin(), z.begin() + static_cast<long>(z.size() - 50));
    CHECK(contains(archive_error(cut), "BAD.bif"));
    Bytes bad = z;
    for (std::size_t i = 30; i < bad.size(); i += 5) bad[i] ^= 0xA5;
    CHECK(contains(archive_error(bad), "BAD.bif"));
    // Thousands of empty blocks are walked, not looped over forever.
    Bytes empties(z.begin(), z.begin() + 12);
    for (int i = 0; i < 20000; ++i) empties.insert(empties.end(), 8, 0);
    CHECK(contains(archive_error(empties), "BAD.bif: truncated"));
  }

  TEST_CASE("a compressed archive whose entries force endless restarts is stopped") {
    // 2000 entries, each starting 2000 bytes after the previous one and 4000 bytes long, in one
    // 4 MiB zlib stream: read in order, every entry starts behind the end of the previous one,
    // so each would restart decompression from the beginning (quadratic work). Their total stays
    // within twice the data, so only the decompression budget can stop this.
    const bif::u32 n = 2000;
    Bytes data = pattern(4u << 20, 7);
    Bytes hostile(20);
    std::memcpy(hostile.data(), "BIFFV1  ", 8);
    bif::put32(&hostile[8], n);
    bif::put32(&hostile[16], 20);
    const bif::u32 data_off = 20 + n * 16;
    for (bif::u32 i = 0; i < n; ++i) {
      unsigned char e[16] = {};
      bif::put32(e, i);
      bif::put32(e + 4, data_off + i * 2000);
      bif::put32(e + 8, 4000);
      bif::put16(e + 12, 0x03F4);
      hostile.insert(hostile.end(), e, e + 16);
    }
    hostile.insert(hostile.end(), data.begin(), data.end());
    Bytes z = bif::gen::compress_bif_v10(hostile, "x");
    auto t0 = std::chrono::steady_clock::now();
    std::string e = archive_error(z);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    CHECK(contains(e, "BAD.bif: needs far more decompression"));
    CHECK(secs < 10);
  }

  TEST_CASE("indexes that are not indexes, cut short or hostile") {
    Sample s = sample_archive();
    Bytes key = bif::gen::build_key(s.key);
    CHECK(key_error(key) == "");
    CHECK(contains(key_error({}), "chitin.key: not a game index"));
    CHECK(contains(key_error(text("KEY V2  xxxxxxxxxxxxxxxxxxxx")), "chitin.key: not a game index"));
    CHECK(contains(key_error(patched32(key, 8, 0xFFFFFFFF)), "chitin.key: corrupt: its 4294967295 BIF entries"));
    CHECK(contains(key_error(patched32(key, 12, 0x10000000)), "resource entries"));
    CHECK(contains(key_error(patched32(key, 16, 0xFFFFFFF0)), "BIF entries"));
    CHECK(contains(key_error(patched32(key, 20, static_cast<bif::u32>(key.size()))), "resource entries"));
    CHECK(contains(key_error(patched32(key, 24 + 4, 0xFFFFFF00)), "name of BIF entry 1"));
    for (std::size_t n = 0; n < key.size(); n += 7) {
      Bytes cut(key.begin(), key.begin() + static_cast<long>(n));
      CHECK_MESSAGE(contains(key_error(cut), "chitin.key"), n);
    }
  }

  TEST_CASE("a hostile index of many entries naming one long string stays quick") {
    // 100000 BIF entries all pointing at the same 60 KiB name.
    bif::u32 nb = 100000;
    Bytes key(24 + nb * 12 + 60000, 'A');
    std::memcpy(key.data(), "KEY V1  ", 8);
    bif::put32(&key[8], nb);
    bif::put32(&key[12], 0);
    bif::put32(&key[16], 24);
    bif::put32(&key[20], 24);
    for (bif::u32 i = 0; i < nb; ++i) {
      bif::put32(&key[24 + i * 12], 0);
      bif::put32(&key[24 + i * 12 + 4], 24 + nb * 12);
      bif::put16(&key[24 + i * 12 + 8], 60000);
    }
    auto t0 = std::chrono::steady_clock::now();
    CHECK(key_error(key) == "");
    CHECK(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() < 5);
  }

  TEST_CASE("a corrupt index found beside the archive is an error of the command") {
    TempDir t("badkey");
    Sample s = sample_archive();
    fs::create_directories(t.path / "data");
    write_all(t.path / "data" / "TEST.bif", s.biff);
    write_all(t.path / "chitin.key", text("KEY V1  \x05\x00\x00\x00"));
    Run r = run_tool({(t.path / "data" / "TEST.bif").string()});
    CHECK(r.code == 2);
    CHECK(contains(r.err, "chitin.key: not a game index"));
  }
}
