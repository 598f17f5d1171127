// Helpers of biftool's tests, and the test program's entry point.
#define DOCTEST_CONFIG_IMPLEMENT
#include "test_util.h"

#include <doctest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tool.h"

namespace bt {

TempDir::TempDir(const std::string& name)
    : path(fs::path(BIFTOOL_TEST_WORK) / (name + "-" + std::to_string(::getpid())))
{
    fs::remove_all(path);
    fs::create_directories(path);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
bool contains(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }
void write_all(const fs::path& p, const Bytes& b) { bif::gen::write_file(p, b); }

Bytes pattern(std::size_t n, unsigned seed)
{
    Bytes b(n);
    bif::gen::Rng r(seed + 1);
    for (auto& c : b)
        c = static_cast<unsigned char>(r.next() >> 56);
    return b;
}

Bytes read_all(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

std::vector<std::string> files_in(const fs::path& dir)
{
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir))
        v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

bif::ExtractStats extract_into(const fs::path& out, const Bytes& archive, const Bytes* index)
{
    bif::MemorySource src(archive.data(), archive.size(), "TEST.bif"),
        key_src(index ? index->data() : nullptr, index ? index->size() : 0, "chitin.key");
    bif::Archive a(src);
    std::optional<bif::Key> key;
    if (index)
        key.emplace(key_src);
    auto plan =
        bif::plan_names(a, key ? &*key : nullptr, key ? key->find_archive("TEST.bif").bifs : std::vector<bif::u32>{});
    fs::remove_all(out);
    return bif::extract_all(a, plan, {out.parent_path(), out.filename(), out}, {}, nullptr);
}

bif::ExtractStats extract_with(const fs::path& out, const Bytes& archive, const bif::WriteOptions& options)
{
    bif::MemorySource src(archive.data(), archive.size(), "TEST.bif");
    bif::Archive a(src);
    const bif::Plan plan = bif::plan_names(a, nullptr, {});
    const bif::Selection all = bif::Selection::all(a, plan);
    fs::remove_all(out);
    const bif::OutputPlace place{out.parent_path(), out.filename(), out};
    auto folder = bif::open_output(place, {&all}, options.output);
    bif::ExtractStats st;
    bif::extract_chosen(a, all, *folder, place.shown, options, st, nullptr, nullptr, [&](unsigned) {
        return bif::OutputFolder::open(place.parent, place.name, place.shown, options.output);
    });
    return st;
}

std::map<std::string, Bytes> extract_memory(const fs::path& out, const Bytes& archive, const Bytes* key)
{
    auto st = extract_into(out, archive, key);
    if (!st.errors.empty())
        throw bif::Error(st.errors.front());
    std::map<std::string, Bytes> m;
    for (const auto& f : files_in(out))
        m[f] = read_all(out / f);
    return m;
}

Run run_biftool(const std::vector<std::string>& args, const fs::path& cwd, const std::string& prefix,
                const std::string& wrapper)
{
    std::string log = (fs::path(BIFTOOL_TEST_WORK) / ("run-" + std::to_string(::getpid()))).string();
    std::string cmd = "cd '" + cwd.string() + "' && " + prefix + " exec " + wrapper + "'" + BIFTOOL_EXE + "'";
    for (const auto& a : args)
        cmd += " '" + a + "'"; // the tests' arguments hold no quote
    int st = std::system((cmd + " </dev/null >'" + log + "' 2>&1").c_str());
    Bytes o = read_all(log);
    return Run{WIFEXITED(st) ? WEXITSTATUS(st) : 128, std::string(o.begin(), o.end()), std::string(o.begin(), o.end())};
}

Run run_in_process(const std::vector<std::string>& args, const fs::path& cwd, const bif::OutputOptions& options,
                   bool terminal)
{
    fs::path before = fs::current_path();
    fs::current_path(cwd);
    Run r{0, "", ""};
    bif::TextSink out(r.out), err(r.err);
    r.code = bif::run_tool(args, bif::ToolIo{out, err, terminal, options});
    fs::current_path(before);
    return r;
}

Sample sample_archive(const std::string& bif_name)
{
    using bif::gen::file_locator, bif::gen::tileset_locator;
    Sample s;
    // Locators out of table order and with gaps, carrying the BIF number as in the original games;
    // the index lists the resources in yet another order.
    s.plan.files = {{file_locator(1, 7), 0x03F4, text("2DA V1.0\n0\n   A\nX 1\n")},
                    {file_locator(1, 2), 0x0001, pattern(3000, 1)},
                    {file_locator(1, 4), 0x03ED, pattern(100, 2)},
                    {file_locator(1, 0), 0x1234, text("unknown type")}};
    s.plan.tilesets = {{tileset_locator(1, 2), 5120, pattern(5120 * 3, 3)},
                       {tileset_locator(1, 1), 100, pattern(200, 4)}};
    s.key.bifs = {{"data\\OTHER.bif", 0, 1}, {bif_name, 0, 1}};
    s.key.resources = {{"ITEMX", 0x03ED, file_locator(1, 4)},    {"ELSEWH", 0x03F4, file_locator(0, 7)},
                       {"TABLE", 0x03F4, file_locator(1, 7)},    {"PICTURE", 0x0001, file_locator(1, 2)},
                       {"ODD", 0x1234, file_locator(1, 0)},      {"AR0100", 0x03EB, tileset_locator(1, 1)},
                       {"AR0200", 0x03EB, tileset_locator(1, 2)}};
    s.biff = bif::gen::build_biff(s.plan);
    const char* names[] = {"TABLE.2DA", "PICTURE.BMP", "ITEMX.ITM", "ODD.0x1234", "AR0200.TIS", "AR0100.TIS"};
    for (int i = 0; i < 4; ++i)
        s.expected[names[i]] = s.plan.files[i].data;
    for (int i = 0; i < 2; ++i) {
        const auto& t = s.plan.tilesets[i];
        Bytes& tis = s.expected[names[4 + i]] = text("TIS V1  ");
        for (bif::u32 v : {static_cast<bif::u32>(t.data.size() / t.tile_size), t.tile_size, 0x18u, 64u})
            tis.insert(tis.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), 0, 0});
        tis.insert(tis.end(), t.data.begin(), t.data.end());
    }
    return s;
}

} // namespace bt

int main(int argc, char** argv)
{
    bt::fs::create_directories(BIFTOOL_TEST_WORK);
    return doctest::Context(argc, argv).run();
}
