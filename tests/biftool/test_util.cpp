#include "test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "demo.h"
#include "extract.h"
#include "fsutil.h"
#include "source.h"
#include "tool.h"

namespace bt {

TempDir::TempDir(const std::string& name) {
  path = fs::path(BIFTOOL_TEST_WORK) / (name + "-" + std::to_string(::getpid()));
  fs::remove_all(path);
  fs::create_directories(path);
}
TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path, ec);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes pattern(std::size_t n, unsigned seed) {
  Bytes b(n);
  bif::gen::Rng r(seed + 1);
  for (auto& c : b) c = static_cast<unsigned char>(r.next() >> 56);
  return b;
}

Bytes read_all(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

void write_all(const fs::path& p, const Bytes& b) { bif::gen::write_file(p, b); }

std::vector<std::string> files_in(const fs::path& dir) {
  std::vector<std::string> v;
  for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
  std::sort(v.begin(), v.end());
  return v;
}

Listing list_memory(const Bytes& archive, const Bytes* key, const std::string& archive_name) {
  bif::MemorySource src(archive.data(), archive.size(), archive_name);
  bif::Archive a(src);
  std::unique_ptr<bif::MemorySource> ksrc;
  std::unique_ptr<bif::Key> k;
  long long idx = -1;
  if (key) {
    ksrc = std::make_unique<bif::MemorySource>(key->data(), key->size(), "chitin.key");
    k = std::make_unique<bif::Key>(*ksrc);
    idx = k->find_bif(archive_name);
  }
  Listing l;
  l.format = a.format();
  for (const auto& p : bif::plan_names(a, k.get(), idx)) {
    l.names.push_back(p.file_name);
    l.entries.push_back(a.entries()[p.entry]);
  }
  return l;
}

std::map<std::string, Bytes> extract_memory(const fs::path& dir, const Bytes& archive, const Bytes* key,
                                            const std::string& archive_name) {
  bif::MemorySource src(archive.data(), archive.size(), archive_name);
  bif::Archive a(src);
  std::unique_ptr<bif::MemorySource> ksrc;
  std::unique_ptr<bif::Key> k;
  long long idx = -1;
  if (key) {
    ksrc = std::make_unique<bif::MemorySource>(key->data(), key->size(), "chitin.key");
    k = std::make_unique<bif::Key>(*ksrc);
    idx = k->find_bif(archive_name);
  }
  auto plan = bif::plan_names(a, k.get(), idx);
  fs::path out = dir / fs::path(archive_name).stem();
  auto st = bif::extract_all(a, plan, out, nullptr);
  if (!st.errors.empty()) throw bif::Error(st.errors.front());
  std::map<std::string, Bytes> m;
  for (const auto& e : fs::directory_iterator(out)) m[e.path().filename().string()] = read_all(e.path());
  return m;
}

static std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix) {
  static int counter = 0;
  fs::path out = fs::path(BIFTOOL_TEST_WORK) / ("run-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::string cmd = "cd " + shell_quote(cwd.string()) + " && " + prefix + " exec " + shell_quote(BIFTOOL_EXE);
  for (const auto& a : args) cmd += " " + shell_quote(a);
  cmd += " </dev/null >" + shell_quote(out.string() + ".out") + " 2>" + shell_quote(out.string() + ".err");
  int st = std::system(cmd.c_str());
  Run r;
  r.code = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
  auto o = read_all(out.string() + ".out"), e = read_all(out.string() + ".err");
  r.out.assign(o.begin(), o.end());
  r.err.assign(e.begin(), e.end());
  fs::remove(out.string() + ".out");
  fs::remove(out.string() + ".err");
  return r;
}

Run run_tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Run r;
  r.code = bif::run_tool(args, bif::ToolIo{out, err, false});
  r.out = out.str();
  r.err = err.str();
  return r;
}

bool contains(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }

Sample sample_archive(const std::string& bif_name) {
  using bif::gen::file_locator;
  using bif::gen::tileset_locator;
  Sample s;
  // Locators out of table order and with gaps; archive locators carry the BIF number, as in the
  // original games, and the index's resources come in yet another order.
  s.plan.files.push_back({file_locator(1, 7), 0x03F4, text("2DA V1.0\n0\n   A\nX 1\n")});
  s.plan.files.push_back({file_locator(1, 2), 0x0001, pattern(3000, 1)});
  s.plan.files.push_back({file_locator(1, 4), 0x03ED, pattern(100, 2)});
  s.plan.files.push_back({file_locator(1, 0), 0x1234, text("unknown type")});
  s.plan.tilesets.push_back({tileset_locator(1, 2), 5120, pattern(5120 * 3, 3)});
  s.plan.tilesets.push_back({tileset_locator(1, 1), 100, pattern(100 * 2, 4)});
  s.key.bifs.push_back({"data\\OTHER.bif", 0, 1});
  s.key.bifs.push_back({bif_name, 0, 1});
  // BIF number 1 in the index is this archive.
  s.key.resources.push_back({"ITEMX", 0x03ED, file_locator(1, 4)});
  s.key.resources.push_back({"ELSEWH", 0x03F4, file_locator(0, 7)});  // in OTHER.bif: not ours
  s.key.resources.push_back({"TABLE", 0x03F4, file_locator(1, 7)});
  s.key.resources.push_back({"PICTURE", 0x0001, file_locator(1, 2)});
  s.key.resources.push_back({"ODD", 0x1234, file_locator(1, 0)});
  s.key.resources.push_back({"AR0100", 0x03EB, tileset_locator(1, 1)});
  s.key.resources.push_back({"AR0200", 0x03EB, tileset_locator(1, 2)});
  s.biff = bif::gen::build_biff(s.plan);
  s.expected["TABLE.2DA"] = s.plan.files[0].data;
  s.expected["PICTURE.BMP"] = s.plan.files[1].data;
  s.expected["ITEMX.ITM"] = s.plan.files[2].data;
  s.expected["ODD.0x1234"] = s.plan.files[3].data;
  auto tis = [](bif::u32 tiles, bif::u32 size, const Bytes& d) {
    Bytes h(24 + d.size());
    std::memcpy(h.data(), "TIS V1  ", 8);
    bif::put32(&h[8], tiles);
    bif::put32(&h[12], size);
    bif::put32(&h[16], 0x18);
    bif::put32(&h[20], 64);
    std::memcpy(h.data() + 24, d.data(), d.size());
    return h;
  };
  s.expected["AR0200.TIS"] = tis(3, 5120, s.plan.tilesets[0].data);
  s.expected["AR0100.TIS"] = tis(2, 100, s.plan.tilesets[1].data);
  return s;
}

void write_fuzz_seeds(const fs::path& dir) {
  fs::create_directories(dir);
  Sample s = sample_archive();
  Bytes key = bif::gen::build_key(s.key);
  write_all(dir / "key", key);
  write_all(dir / "biff", s.biff);
  write_all(dir / "bifv10", bif::gen::compress_bif_v10(s.biff, "TEST.bif"));
  write_all(dir / "bifc", bif::gen::compress_bifc(s.biff, 512));
  // The fuzzer's split form: u32 index length, the index, then the archive.
  auto split = [&](const Bytes& archive) {
    Bytes b(4 + key.size() + archive.size());
    bif::put32(b.data(), static_cast<bif::u32>(key.size()));
    std::memcpy(b.data() + 4, key.data(), key.size());
    std::memcpy(b.data() + 4 + key.size(), archive.data(), archive.size());
    return b;
  };
  write_all(dir / "split-biff", split(s.biff));
  write_all(dir / "split-bifc", split(bif::gen::compress_bifc(s.biff, 512)));
}

}  // namespace bt
