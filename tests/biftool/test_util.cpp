#include "test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tool.h"

namespace bt {

TempDir::TempDir(const std::string& name)
    : path(fs::path(BIFTOOL_TEST_WORK) / (name + "-" + std::to_string(::getpid()))) {
  fs::remove_all(path);
  fs::create_directories(path);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }void write_all(const fs::path& p, const Bytes& b) { bif::gen::write_file(p, b); }

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

std::vector<std::string> files_in(const fs::path& dir) {
  std::vector<std::string> v;
  for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
  std::sort(v.begin(), v.end());
  return v;
}

bool contains(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }

namespace {
struct Opened {
  bif::MemorySource src, key_src;
  bif::Archive archive;
  std::optional<bif::Key> key;
  std::vector<bif::Planned> plan;
  Opened(const Bytes& data, const Bytes* index, const std::string& name)
      : src(data.data(), data.size(), name), key_src(index ? index->data() : nullptr, index ? index->size() : 0, "chitin.key"),
        archive(src) {
    if (index) key.emplace(key_src);
    plan = bif::plan_names(archive, key ? &*key : nullptr, key ? key->find_bif(name) : -1);
  }
};
}  // namespace

std::vector<std::string> list_memory(const Bytes& archive, const Bytes* key, const std::string& name) {
  std::vector<std::string> names;
  for (const auto& p : Opened(archive, key, name).plan) names.push_back(p.file_name);
  return names;
}

bif::ExtractStats extract_into(const fs::path& out, const Bytes& archive, const Bytes* key) {
  Opened o(archive, key, "TEST.bif");
  fs::remove_all(out);
  return bif::extract_all(o.archive, o.plan, {out.parent_path(), out.filename(), out}, {}, nullptr);
}

std::map<std::string, Bytes> extract_memory(const fs::path& out, const Bytes& archive, const Bytes* key) {
  auto st = extract_into(out, archive, key);
  if (!st.errors.empty()) throw bif::Error(st.errors.front());
  std::map<std::string, Bytes> m;
  for (const auto& f : files_in(out)) m[f] = read_all(out / f);
  return m;
}

Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix) {
  std::string log = (fs::path(BIFTOOL_TEST_WORK) / ("run-" + std::to_string(::getpid()))).string();
  std::string cmd = "cd '" + cwd.string() + "' && " + prefix + " exec '" + BIFTOOL_EXE + "'";
  for (const auto& a : args) cmd += " '" + a + "'";  // the tests' arguments hold no quote
  int st = std::system((cmd + " </dev/null >'" + log + "' 2>&1").c_str());
  Bytes o = read_all(log);
  return Run{WIFEXITED(st) ? WEXITSTATUS(st) : 128, std::string(o.begin(), o.end()), std::string(o.begin(), o.end())};
}

Run run_in_process(const std::vector<std::string>& args, const fs::path& cwd, const bif::OutputOptions& options) {
  fs::path before = fs::current_path();
  fs::current_path(cwd);
  std::ostringstream out, err;
  int code = bif::run_tool(args, bif::ToolIo{out, err, false, options});
  fs::current_path(before);
  return Run{code, out.str(), err.str()};
}

Sample sample_archive(const std::string& bif_name) {
  using bif::gen::file_locator, bif::gen::tileset_locator;
  Sample s;
  // Locators out of table order and with gaps, carrying the BIF number as in the original games;
  // the index lists the resources in yet another order.
  s.plan.files = {{file_locator(1, 7), 0x03F4, text("2DA V1.0\n0\n   A\nX 1\n")},
                  {file_locator(1, 2), 0x0001, pattern(3000, 1)},
                  {file_locator(1, 4), 0x03ED, pattern(100, 2)},
                  {file_locator(1, 0), 0x1234, text("unknown type")}};
  s.plan.tilesets = {{tileset_locator(1, 2), 5120, pattern(5120 * 3, 3)}, {tileset_locator(1, 1), 100, pattern(200, 4)}};
  s.key.bifs = {{"data\\OTHER.bif", 0, 1}, {bif_name, 0, 1}};
  s.key.resources = {{"ITEMX", 0x03ED, file_locator(1, 4)},        {"ELSEWH", 0x03F4, file_locator(0, 7)},
                     {"TABLE", 0x03F4, file_locator(1, 7)},        {"PICTURE", 0x0001, file_locator(1, 2)},
                     {"ODD", 0x1234, file_locator(1, 0)},          {"AR0100", 0x03EB, tileset_locator(1, 1)},
                     {"AR0200", 0x03EB, tileset_locator(1, 2)}};
  s.biff = bif::gen::build_biff(s.plan);
  const char* names[] = {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM", "ODD.0x1234", "AR0200.TIS", "AR0100.TIS"};
  for (int i = 0; i < 4; ++i) s.expected[names[i]] = s.plan.files[i].data;
  for (int i = 0; i < 2; ++i) {
    const auto& t = s.plan.tilesets[i];
    Bytes& tis = s.expected[names[4 + i]] = text("TIS V1  ");
    for (bif::u32 v : {static_cast<bif::u32>(t.data.size() / t.tile_size), t.tile_size, 0x18u, 64u})
      tis.insert(tis.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), 0, 0});
    tis.insert(tis.end(), t.data.begin(), t.data.end());
  }
  return s;
}

Bytes sharing(std::size_t size, bif::u32 copies) {
  bif::gen::BiffPlan one;
  one.files.push_back({0, 0x03F4, pattern(size, 1)});
  Bytes b = bif::gen::build_biff(one), entry(b.begin() + 20, b.begin() + 36);
  bif::put32(&b[8], copies);
  bif::put32(&b[16], static_cast<bif::u32>(b.size()));
  for (bif::u32 i = 0; i < copies; ++i) b.insert(b.end(), entry.begin(), entry.end());
  return b;
}

// Seeds in the fuzzer's split form: u32 index length, the index, then the archive.
void write_fuzz_seeds(const fs::path& dir) {
  fs::create_directories(dir);
  Sample s = sample_archive();
  s.key.resources[0].resref = "../ITEMX";  // a name that must not leave the output folder
  Bytes key = bif::gen::build_key(s.key);
  const Bytes archives[] = {s.biff, bif::gen::compress_bif_v10(s.biff, "TEST.bif"), bif::gen::compress_bifc(s.biff, 512)};
  for (int i = 0; i < 3; ++i) {
    Bytes split(4);
    bif::put32(split.data(), static_cast<bif::u32>(key.size()));
    split.insert(split.end(), key.begin(), key.end());
    split.insert(split.end(), archives[i].begin(), archives[i].end());
    write_all(dir / ("split-" + std::to_string(i)), split);
  }
}

}  // namespace bt
