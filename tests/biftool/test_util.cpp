#include "test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "extract.h"
#include "tool.h"

namespace bt {

TempDir::TempDir(const std::string& name)
    : path(fs::path(BIFTOOL_TEST_WORK) / (name + "-" + std::to_string(::getpid()))) {
  fs::remove_all(path);
  fs::create_directories(path);
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

bool contains(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }

Opened::Opened(const Bytes& data, const Bytes* index, const std::string& name)
    : bytes(data), key_bytes(index ? *index : Bytes{}), src(bytes.data(), bytes.size(), name), archive(src) {
  long long idx = -1;
  if (index) {
    key_src.emplace(key_bytes.data(), key_bytes.size(), "chitin.key");
    key.emplace(*key_src);
    idx = key->find_bif(name);
  }
  plan = bif::plan_names(archive, key ? &*key : nullptr, idx);
}

std::vector<std::string> list_memory(const Bytes& archive, const Bytes* key, const std::string& name) {
  std::vector<std::string> names;
  for (const auto& p : Opened(archive, key, name).plan) names.push_back(p.file_name);
  return names;
}

bif::ExtractStats extract_into(const fs::path& out, Opened& o, const bif::OutputOptions& options) {
  fs::remove_all(out);
  bif::OutputPlace place{out.parent_path().string(), out.filename().string(), out.string()};
  return bif::extract_all(o.archive, o.plan, place, options, nullptr);
}

std::map<std::string, Bytes> extract_memory(const fs::path& dir, const Bytes& archive, const Bytes* key,
                                            const std::string& name) {
  Opened o(archive, key, name);
  fs::path out = dir / fs::path(name).stem();
  auto st = extract_into(out, o);
  if (!st.errors.empty()) throw bif::Error(st.errors.front());
  std::map<std::string, Bytes> m;
  for (const auto& f : files_in(out)) m[f] = read_all(out / f);
  return m;
}

static std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix) {
  std::string out = (fs::path(BIFTOOL_TEST_WORK) / ("run-" + std::to_string(::getpid()))).string();
  std::string cmd = "cd " + shell_quote(cwd.string()) + " && " + prefix + " exec " + shell_quote(BIFTOOL_EXE);
  for (const auto& a : args) cmd += " " + shell_quote(a);
  cmd += " </dev/null >" + shell_quote(out + ".out") + " 2>" + shell_quote(out + ".err");
  int st = std::system(cmd.c_str());
  Run r;
  r.code = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
  for (auto [ext, text] : {std::pair{".out", &r.out}, std::pair{".err", &r.err}}) {
    Bytes b = read_all(out + ext);
    text->assign(b.begin(), b.end());
  }
  return r;
}

Run run_in_process(const std::vector<std::string>& args, const fs::path& cwd, const bif::OutputOptions& options) {
  fs::path before = fs::current_path();
  fs::current_path(cwd);
  std::ostringstream out, err;
  Run r{bif::run_tool(args, bif::ToolIo{out, err, false, options}), "", ""};
  fs::current_path(before);
  r.out = out.str();
  r.err = err.str();
  return r;
}

Sample sample_archive(const std::string& bif_name) {
  using bif::gen::file_locator;
  using bif::gen::tileset_locator;
  Sample s;
  // Locators out of table order and with gaps, carrying the BIF number as in the original games;
  // the index lists the resources in yet another order.
  s.plan.files.push_back({file_locator(1, 7), 0x03F4, text("2DA V1.0\n0\n   A\nX 1\n")});
  s.plan.files.push_back({file_locator(1, 2), 0x0001, pattern(3000, 1)});
  s.plan.files.push_back({file_locator(1, 4), 0x03ED, pattern(100, 2)});
  s.plan.files.push_back({file_locator(1, 0), 0x1234, text("unknown type")});
  s.plan.tilesets.push_back({tileset_locator(1, 2), 5120, pattern(5120 * 3, 3)});
  s.plan.tilesets.push_back({tileset_locator(1, 1), 100, pattern(100 * 2, 4)});
  s.key.bifs.push_back({"data\\OTHER.bif", 0, 1});
  s.key.bifs.push_back({bif_name, 0, 1});
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
    std::copy(d.begin(), d.end(), h.begin() + 24);
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
  const std::pair<std::string, Bytes> archives[] = {{"biff", s.biff},
                                                    {"bifv10", bif::gen::compress_bif_v10(s.biff, "TEST.bif")},
                                                    {"bifc", bif::gen::compress_bifc(s.biff, 512)}};
  for (const auto& [name, a] : archives) {
    write_all(dir / name, a);
    // The fuzzer's split form: u32 index length, the index, then the archive.
    Bytes split(4 + key.size() + a.size());
    bif::put32(split.data(), static_cast<bif::u32>(key.size()));
    std::copy(a.begin(), a.end(), std::copy(key.begin(), key.end(), split.begin() + 4));
    write_all(dir / ("split-" + name), split);
  }
}

}  // namespace bt
