// Extraction writes complete files only, only inside its own folder, and keeps going past what it
// cannot write.
#include <doctest.h>
#include <fcntl.h>
#include <sys/file.h>

#include "runs.h"
#include "test_util.h"

using namespace bt;

TEST_SUITE("extract") {
TEST_CASE("nothing outside the output folder changes")
{
    // Links planted in data/TEST at the first temporary name of seed 7 or at a resource's name,
    // or data/TEST itself a link; the outside file is relative to the game folder, the folder
    // the archive extracts into relative to data/ ("" when it is refused).
    const std::string temp = bif::TemporaryNames(7).next(), elsewhere = "elsewhere/TABLE.2DA";
    const std::tuple<std::string, std::string, std::string, bool, std::string> rows[] = {
        {"TEST.bif", elsewhere, temp, false, "TEST"},
        {"TEST.bif", elsewhere, temp, true, "TEST"},
        {"TEST.bif", elsewhere, "TABLE.2DA", false, "TEST"},
        {"TEST.bif", elsewhere, "TABLE.2DA", true, "TEST"},
        {"TEST.bif", elsewhere, ".", false, ""},
        {"...bif", "TABLE.2DA", "", false, "__"},
        {"..bif", "data/TABLE.2DA", "", false, "_"},
        {"CON.bif", elsewhere, "", false, "CON_"},
        {"-x.bif", elsewhere, "", false, "-x"}};
    for (bool named : {false, true})
        for (const auto& [archive, outside, link, hard, folder] : rows) {
            CAPTURE(std::to_string(named) + archive + " " + link + (hard ? " hard" : ""));
            TempDir t("outside");
            const fs::path data = t.path / "data", out = data / "TEST";
            fs::create_directories(data), fs::create_directories(t.path / "elsewhere");
            write_all(t.path / outside, text("precious"));
            Sample s = sample_archive("data\\" + archive);
            write_all(t.path / "chitin.key", bif::gen::build_key(s.key));
            write_all(data / archive, s.biff);
            if (link == ".")
                fs::create_directory_symlink("../elsewhere", out);
            if (link.size() > 1)
                fs::create_directories(out);
            if (link.size() > 1)
                hard ? fs::create_hard_link(t.path / outside, out / link)
                     : fs::create_symlink(t.path / outside, out / link);
            Run r = run_in_process({"-extr", archive}, data, {named, 7});
            CHECK(r.code == (folder.empty() ? 2 : 0));
            CHECK(read_all(t.path / outside) == text("precious"));
            std::vector<std::string> made{archive, folder.empty() ? "TEST" : folder};
            if (outside.rfind("data/", 0) == 0)
                made.push_back("TABLE.2DA");
            std::sort(made.begin(), made.end());
            CHECK(files_in(data) == made);
            CHECK((folder.empty() ? contains(r.err, "biftool: TEST: is a link")
                                  : read_all(data / folder / "TABLE.2DA") == s.expected["TABLE.2DA"]));
        }
}

TEST_CASE("--keep never replaces a file, not even one made just before the finished file is named")
{
    // Another writer's file turns up at each name between the look before writing and the naming.
    for (bool named : {false, true})
        for (bool keep : {true, false}) {
            CAPTURE(named);
            CAPTURE(keep);
            TempDir t("late");
            const fs::path data = t.path / "data", out = data / "TEST";
            fs::create_directories(data);
            Sample s = sample_archive();
            write_all(t.path / "chitin.key", bif::gen::build_key(s.key));
            write_all(data / "TEST.bif", s.biff);
            bif::OutputOptions options{named};
            options.before_naming = [&](const std::string& name) { write_all(out / name, text("theirs")); };
            Run r = run_in_process({"-extr", keep ? "--keep" : "--", "TEST.bif"}, data, options);
            CHECK(r.code == 0);
            CHECK(files_in(out).size() == s.expected.size()); // no temporary file left
            for (const auto& [name, bytes] : s.expected)
                CHECK(read_all(out / name) == (keep ? text("theirs") : bytes));
            const std::string n = std::to_string(s.expected.size());
            CHECK(contains(r.out, keep ? "Extracted 0 files, 0 bytes" : "Extracted " + n + " files"));
            CHECK(contains(r.out, "Kept " + n + " existing files unchanged") == keep);
        }
}

TEST_CASE("a resource that cannot be written or read is skipped; a failing volume stops; leftovers go")
{
    TempDir t("skip");
    bif::gen::BiffPlan plan;
    bif::gen::KeyPlan key{{{"data\\FULL.bif", 0, 1}}, {}};
    for (bif::u32 i = 0; i < 3; ++i) {
        plan.files.push_back({i, 0x03F4, pattern(i == 1 ? 1500000 : 1000, i)});
        key.resources.push_back({"RES" + std::to_string(i), 0x03F4, i});
    }
    Bytes biff = bif::gen::build_biff(plan);
    bif::put32(&biff[20 + 2 * 16 + 8], 0x7FFFFFF0); // RES2 is damaged
    const fs::path out = t.path / "data" / "FULL";
    fs::create_directories(out / "RES0.2DA" / "in the way");
    write_all(t.path / "data" / "FULL.bif", biff);
    write_all(t.path / "chitin.key", bif::gen::build_key(key));
    // Not ours, a running peer's (locked), then killed runs' of this version and of older ones.
    const std::string others[] = {"RES9.2DA.~part", "~biftool-0123456789abcdeg.~part",
                                  "~biftool-fedcba9876543210.~part", "~biftool-0123456789abcdef.~part",
                                  "RES2.2DA.~part"};
    for (const std::string& n : others)
        write_all(out / n, text("not ours, or a killed run's"));
    const int peer = ::open((out / others[2]).c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(peer, LOCK_EX);
    CHECK(run_biftool({"FULL.bif"}, t.path / "data").code == 3);
    Run r = run_biftool({"-extr", "FULL.bif"}, t.path / "data");
    CHECK(r.code == 3);
    for (const char* m :
         {"RES0.2DA: cannot write: Is a directory", "locator 2 claims bytes", "2 of 3 resources could not"})
        CHECK(contains(r.err, m));
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA", "RES1.2DA", others[0], others[1], others[2]});
    ::close(peer);
    CHECK(read_all(out / "RES1.2DA") == plan.files[1].data);

    // A file-size limit of 100 blocks makes the big write fail as a full disk would.
    fs::remove_all(out);
    r = run_biftool({"-extr", "FULL.bif"}, t.path / "data", "ulimit -f 100 &&");
    CHECK(r.code == 2);
    CHECK(
        contains(r.err, "RES1.2DA: cannot write: File too large\nbiftool: extraction stopped after 1 of 3 resources"));
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA"});

    // A BIFC whose later blocks hold garbage behind intact block headers: some resources cannot be read.
    for (bif::u32 i = 0; i < 8; ++i)
        plan.files.resize(8), plan.files[i] = {i, 0x03F4, pattern(20000, i)};
    Bytes z = bif::gen::compress_bifc(bif::gen::build_biff(plan), 4096);
    for (std::size_t pos = 12, block = 0; pos + 8 <= z.size(); pos += 8 + bif::le32(&z[pos + 4]), ++block)
        for (std::size_t i = pos + 8; block >= 30 && i < pos + 8 + bif::le32(&z[pos + 4]); ++i)
            z[i] = i * 7 & 0xFF;
    auto st = extract_into(out, z);
    CHECK((st.files >= 4 && st.files < 8 && st.failed == 8 - st.files && !st.stopped));
    CHECK(files_in(out).size() == st.files);
    for (const auto& name : files_in(out))
        CHECK(read_all(out / name) == plan.files[name[7] - '0'].data);
}

TEST_CASE("free space: in bytes, checked before anything is written, replaced files counted as room")
{
    TempDir t("space");
    const fs::path data = t.path / "data";
    fs::create_directories(data);
    // The system's own figure (others write to this disk meanwhile).
    const auto avail = fs::space(t.path).available;
    CHECK(static_cast<double>(*bif::OutputFolder::free_space(t.path)) ==
          doctest::Approx(static_cast<double>(avail)).epsilon(0.01));

    // Entries sharing 16 MiB of zeros in a small BIF V1.0, together more than the disk has; a file-size
    // limit of 2 MiB keeps a broken check from filling the disk.
    bif::gen::BiffPlan plan{{{0, 0x03F4, Bytes(16 << 20)}}, {}};
    const auto copies = static_cast<bif::u32>(avail >> 24) + 1;
    for (bif::u32 i = 1; i < copies; ++i)
        plan.files.push_back({i, 0x03F4, {}});
    Bytes biff = bif::gen::build_biff(plan);
    for (bif::u32 i = 1; i < copies; ++i)
        std::copy_n(&biff[20 + 4], 8, &biff[20 + 16 * i + 4]);
    write_all(data / "SHARED.bif", bif::gen::compress_bif_v10(biff, "SHARED.bif"));
    Run r = run_biftool({"-extr", "SHARED.bif"}, data, "ulimit -f 4096 &&");
    CHECK(r.code == 2);
    CHECK(contains(r.err, "SHARED: not enough free space: the resources need"));
    CHECK(files_in(data) == std::vector<std::string>{"SHARED.bif"});

    // Three files of 100,000 bytes, with as much free as the test says: what is there already gives
    // its room back once replaced (each in turn, so the largest must fit), unless it has another name.
    plan = {};
    for (bif::u32 i = 0; i < 3; ++i)
        plan.files.push_back({i, 0x03F4, pattern(100000, i)});
    write_all(data / "THREE.bif", bif::gen::build_biff(plan));
    const std::tuple<bool, bool, bif::u64, int> rows[] = {
        {false, false, 299999, 2}, {true, false, 150000, 0}, {true, false, 50000, 2}, {true, true, 150000, 2}};
    for (const auto& [there, linked, free, code] : rows) {
        CAPTURE(free);
        fs::remove_all(data / "THREE"), fs::remove(data / "linked");
        if (there)
            CHECK(run_in_process({"-extr", "THREE.bif"}, data).code == 0);
        if (linked)
            fs::create_hard_link(data / "THREE" / "LOC00001.2DA", data / "linked");
        r = run_in_process({"-extr", "THREE.bif"}, data, {false, 0, free});
        CHECK(r.code == code);
        CHECK(contains(r.err, "not enough free space") == (code != 0));
    }
}

TEST_CASE("a game folder the user may not write: said once, plainly, with what to do")
{
    // As root (who may write anywhere) biftool runs as nobody, whom the folder's mode keeps out.
    const std::string as_user = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    for (bool made_before : {false, true}) {
        CAPTURE(made_before);
        TempDir t("readonly");
        const fs::path data = t.path / "data", locked = made_before ? data / "TEST" : data;
        fs::create_directories(locked);
        Sample s = sample_archive();
        write_all(t.path / "chitin.key", bif::gen::build_key(s.key));
        write_all(data / "TEST.bif", s.biff);
        const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        fs::permissions(locked, writable, fs::perm_options::remove);
        REQUIRE_MESSAGE(run_biftool({"TEST.bif"}, data, "", as_user).code == 0, "the test folder must be open to all");
        Run r = run_biftool({"-extr", "TEST.bif"}, data, "", as_user);
        fs::permissions(locked, writable, fs::perm_options::add);
        CHECK(r.code == 2);
        const std::string said = "TEST: cannot extract here: the folder cannot be written (Permission denied); copy "
                                 "the game, or the archive with its chitin.key, to a folder of your own";
        CHECK(contains(r.err, said));
        CHECK(r.err.find("cannot be written") == r.err.rfind("cannot be written"));
        CHECK(!contains(r.err, "cannot write"));
        CHECK(files_in(data).size() == (made_before ? 2 : 1));
        CHECK((!made_before || files_in(data / "TEST").empty()));
    }
}
}

TEST_SUITE("extract") {
TEST_CASE("runs start only where no data is shared across, near the start of a block")
{
    // Files of 1000 bytes in blocks of 3000, the third sharing the second's data, the eighth damaged.
    std::vector<bif::Span> spans;
    for (bif::u64 i = 0; i < 12; ++i)
        spans.push_back({i * 1000, 1000, i == 7});
    spans[2].offset = 1000;
    bif::RunLimits limits;
    limits.bytes = 1500;
    limits.head = 100;
    limits.base = [](bif::u64 off) { return off / 3000 * 3000; };
    CHECK(bif::plan_runs(spans, limits) == std::vector<std::size_t>{0, 3, 6, 9});
    limits.head = 2000;
    CHECK(bif::plan_runs(spans, limits) == std::vector<std::size_t>{0, 3, 5, 8, 10});
}

TEST_CASE("on several threads, or one stream read ahead: the files and the report of one thread; one bound for all")
{
    TempDir t("threads");
    // Files of many sizes, two sharing one stretch and one starting inside the largest (these
    // marked encrypted: written decrypted, the second reads it again from the archive), one
    // starting inside another, a tileset and a damaged entry.
    bif::gen::BiffPlan plan;
    for (bif::u32 i = 0; i < 48; ++i)
        plan.files.push_back({i, 0x03F4, pattern(i == 47 ? 600000 : 20000 + i * 7919 % 60000, i)});
    plan.tilesets.push_back({bif::gen::tileset_locator(0, 1), 5120, pattern(5120 * 4, 99)});
    Bytes biff = bif::gen::build_biff(plan);
    auto entry = [&](int i) { return &biff[20 + 16 * i]; };
    std::copy_n(entry(9) + 4, 8, entry(10) + 4);
    bif::put32(entry(46) + 4, bif::le32(entry(47) + 4) + 1000);
    bif::put32(entry(46) + 8, 100);
    for (int i : {9, 47})
        biff[bif::le32(entry(i) + 4)] = biff[bif::le32(entry(i) + 4) + 1] = 0xFF;
    bif::put32(entry(20) + 4, bif::le32(entry(19) + 4) + 100);
    bif::put32(entry(30) + 4, 0x7FFFFFF0);
    // Garbage behind intact headers in blocks far apart, so that runs of their own fail.
    Bytes broken = bif::gen::compress_bifc(biff, 4096);
    for (std::size_t pos = 12, block = 0; pos + 8 <= broken.size(); pos += 8 + bif::le32(&broken[pos + 4]), ++block)
        for (std::size_t i = pos + 8; (block % 70 == 40) && i < pos + 8 + bif::le32(&broken[pos + 4]); ++i)
            broken[i] = i * 7 & 0xFF;
    // One stream that ends at three fifths of its data.
    Bytes cut = bif::gen::compress_bif_v10(biff, "TEST.bif");
    bif::put32(&cut[25], bif::le32(&cut[25]) * 3 / 5);
    const Bytes formats[] = {biff, bif::gen::compress_bifc(biff, 4096), broken,
                             bif::gen::compress_bif_v10(biff, "TEST.bif"), cut};
    auto files = [](const fs::path& dir) {
        std::map<std::string, Bytes> m;
        for (const auto& f : files_in(dir))
            m[f] = read_all(dir / f);
        return m;
    };
    for (std::size_t f = 0; f < std::size(formats) * 2; ++f) {
        CAPTURE(f);
        const bool broken_one = f % 5 == 2 || f % 5 == 4;
        bif::WriteOptions options;
        options.decrypt = f >= std::size(formats);
        const auto one = extract_with(t.path / "one", formats[f % 5], options);
        for (unsigned threads : {2u, 3u}) {
            options.threads = threads;
            options.run_bytes = 30000;
            const auto many = extract_with(t.path / "many", formats[f % 5], options);
            CHECK(many.files == one.files);
            CHECK(many.bytes == one.bytes);
            CHECK(many.failed == one.failed);
            CHECK(many.errors == one.errors);
            CHECK(files(t.path / "many") == files(t.path / "one"));
        }
        CHECK(one.files == (broken_one ? one.files : 48));
        CHECK(one.errors.size() >= (broken_one ? 3 : 1));
    }

    // Resources that each inflate a block of 1 MiB again (written decrypted, they are not kept to
    // copy from), half of them in each of two runs: each run alone stays within the bound, both
    // together do not.
    plan = {};
    plan.files.push_back({0, 0x03F4, Bytes(2 << 20)});
    for (bif::u32 i = 1; i < 24; ++i)
        plan.files.push_back({i, 0x03F4, {}});
    biff = bif::gen::build_biff(plan);
    for (bif::u32 i = 0; i < 24; ++i) {
        const bif::u32 at = (i < 12 ? 1u << 20 : 2u << 20) - 100;
        bif::put32(entry(i) + 4, at);
        bif::put32(entry(i) + 8, 100);
        biff[at] = biff[at + 1] = 0xFF;
    }
    bif::WriteOptions options;
    options.decrypt = true;
    options.threads = 2;
    options.run_bytes = 1;
    const auto st = extract_with(t.path / "bound", bif::gen::compress_bifc(biff, 1 << 20), options);
    CHECK(st.failed > 0);
    CHECK(st.files + st.failed == 24);
    CHECK(contains(st.errors.at(0), "needs far more decompression than its entry table explains"));
}
}
