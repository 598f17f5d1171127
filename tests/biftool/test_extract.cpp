// Extraction writes complete files only, only inside its own folder, and keeps going past what it
// cannot write.
#include <doctest.h>

#include <functional>

#include "test_util.h"

using namespace bt;

TEST_SUITE("extract") {
  TEST_CASE("nothing outside the output folder changes") {
    const Bytes precious = text("precious"), table = sample_archive().expected.at("TABLE.2DA");
    const bif::u64 seed = 7;
    const std::string temp = bif::TemporaryNames(seed).next();
    using Plant = std::function<void(const fs::path& data, const fs::path& outside)>;
    auto in_out = [](const std::string& name, bool hard) -> Plant {
      return [=](const fs::path& data, const fs::path& outside) {
        fs::create_directories(data / "TEST");
        hard ? fs::create_hard_link(outside, data / "TEST" / name) : fs::create_symlink(outside, data / "TEST" / name);
      };
    };
    struct Row {
      std::string archive, outside;  // the outside file, relative to the game folder
      Plant plant;
      int code;
      std::string folder;  // what the output folder is called
    };
    const Row rows[] = {
        {"TEST.bif", "elsewhere/TABLE.2DA", in_out(temp, false), 0, "TEST"},
        {"TEST.bif", "elsewhere/TABLE.2DA", in_out(temp, true), 0, "TEST"},
        {"TEST.bif", "elsewhere/TABLE.2DA", in_out("TABLE.2DA", false), 0, "TEST"},
        {"TEST.bif", "elsewhere/TABLE.2DA", in_out("TABLE.2DA", true), 0, "TEST"},
        {"TEST.bif", "elsewhere/TABLE.2DA",
         [](const fs::path& data, const fs::path&) { fs::create_directory_symlink("../elsewhere", data / "TEST"); }, 2,
         ""},
        {"...bif", "TABLE.2DA", nullptr, 0, "__"},
        {"..bif", "data/TABLE.2DA", nullptr, 0, "_"},
        {"CON.bif", "elsewhere/TABLE.2DA", nullptr, 0, "CON_"},
        {"-x.bif", "elsewhere/TABLE.2DA", nullptr, 0, "-x"}};
    for (bool named : {false, true})
      for (const Row& row : rows) {
        CAPTURE(named);
        CAPTURE(row.archive + " " + (row.plant ? "with a link" : ""));
        TempDir t("outside");
        const fs::path data = t.path / "data", outside = t.path / row.outside;
        fs::create_directories(data);
        fs::create_directories(t.path / "elsewhere");
        write_all(outside, precious);
        Sample s = sample_archive("data\\" + row.archive);
        write_all(t.path / "chitin.key", bif::gen::build_key(s.key));
        write_all(data / row.archive, s.biff);
        if (row.plant) row.plant(data, outside);
        Run r = run_in_process({"-extr", row.archive}, data, bif::OutputOptions{named, seed});
        CHECK(r.code == row.code);
        CHECK(read_all(outside) == precious);
        std::vector<std::string> made{row.archive, row.folder.empty() ? "TEST" : row.folder};
        if (row.outside.rfind("data/", 0) == 0) made.push_back("TABLE.2DA");
        std::sort(made.begin(), made.end());
        CHECK(files_in(data) == made);
        if (!row.folder.empty()) CHECK(read_all(data / row.folder / "TABLE.2DA") == table);
        else CHECK(contains(r.err, "biftool: TEST: is a link"));
      }
  }

  TEST_CASE("a resource that cannot be written is skipped; a failing volume stops; leftovers go") {
    TempDir t("skip");
    bif::gen::BiffPlan plan;
    bif::gen::KeyPlan key;
    key.bifs.push_back({"data\\FULL.bif", 0, 1});
    const std::size_t sizes[] = {1000, 300000, 1000};  // in archive order
    for (bif::u32 i = 0; i < 3; ++i) {
      plan.files.push_back({i, 0x03F4, pattern(sizes[i], i)});
      key.resources.push_back({"RES" + std::to_string(i), 0x03F4, i});
    }
    const fs::path out = t.path / "data" / "FULL";
    fs::create_directories(out / "RES0.2DA" / "in the way");
    Bytes biff = bif::gen::build_biff(plan);
    bif::put32(&biff[20 + 2 * 16 + 8], 0x7FFFFFF0);  // RES2 is damaged
    write_all(t.path / "data" / "FULL.bif", biff);
    write_all(t.path / "chitin.key", bif::gen::build_key(key));
    const std::vector<std::string> others = {"RES2.2DA.~part", "~biftool-0123456789abcdeg.~part"};
    for (const std::string& n : others) write_all(out / n, text("not ours"));
    write_all(out / "~biftool-0123456789abcdef.~part", text("a killed run's"));
    CHECK(run_biftool({"FULL.bif"}, t.path / "data").code == 3);
    Run r = run_biftool({"-extr", "FULL.bif"}, t.path / "data");
    CHECK(r.code == 3);
    CHECK(contains(r.err, "RES0.2DA: cannot write: Is a directory"));
    CHECK(contains(r.err, "resource with locator 2 claims bytes"));
    CHECK(contains(r.err, "2 of 3 resources could not be extracted"));
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA", "RES1.2DA", others[0], others[1]});
    CHECK(read_all(out / "RES1.2DA") == plan.files[1].data);

    // A file-size limit of 100 blocks makes the big write fail as a full disk would.
    fs::remove_all(out);
    r = run_biftool({"-extr", "FULL.bif"}, t.path / "data", "ulimit -f 100 &&");
    CHECK(r.code == 2);
    CHECK(contains(r.err, "RES1.2DA: cannot write"));
    CHECK(contains(r.err, "extraction stopped after 1 of 3 resources"));
    CHECK(files_in(out) == std::vector<std::string>{"RES0.2DA"});
  }

  TEST_CASE("a resource that cannot be read is skipped, the rest extracted") {
    TempDir t("unreadable");
    // BIFC whose later blocks hold garbage behind intact block headers.
    bif::gen::BiffPlan archive;
    for (bif::u32 i = 0; i < 8; ++i) archive.files.push_back({i, 0x03F4, pattern(20000, i)});
    Bytes z = bif::gen::compress_bifc(bif::gen::build_biff(archive), 4096);
    std::size_t block = 0;
    for (std::size_t pos = 12; pos + 8 <= z.size(); pos += 8 + bif::le32(&z[pos + 4]), ++block)
      for (std::size_t i = pos + 8; block >= 30 && i < pos + 8 + bif::le32(&z[pos + 4]); ++i)
        z[i] = static_cast<unsigned char>(i * 7);
    Opened o(z, nullptr, "X.bif");
    auto st = extract_into(t.path / "X", o);
    CHECK(st.files >= 4);
    CHECK(st.files < 8);
    CHECK(st.errors.size() == 8 - st.files);
    CHECK_FALSE(st.stopped);
    auto files = files_in(t.path / "X");
    CHECK(files.size() == st.files);
    for (const auto& name : files) CHECK(read_all(t.path / "X" / name) == archive.files[name[7] - '0'].data);
  }
}
