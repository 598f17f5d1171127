#include "tool.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "archive.h"
#include "extract.h"
#include "fsutil.h"
#include "key.h"
#include "names.h"
#include "vintrel_version.h"

namespace bif {

namespace fs = std::filesystem;

std::string usage_text() {
  return "Usage: biftool ARCHIVE          list the resources in a BIF archive\n"
         "       biftool -extr ARCHIVE    extract them into a folder named after the archive\n"
         "       biftool --help | --version\n";
}

static std::string help_text() {
  return "biftool " VINTREL_VERSION_TEXT " - lists and extracts the BIF archives of Infinity Engine games\n\n" +
         usage_text() +
         "\nARCHIVE is a .bif (or .cbf) file: BIFF V1, BIF V1.0 or BIFC V1.0. The resource names come\n"
         "from the game's index, chitin.key, looked for one folder above the archive (then one folder\n"
         "above the current folder). Resources the index does not name are called LOCxxxxx after\n"
         "their locator. \"-extr data\\AREA000A.bif\" writes every resource into data\\AREA000A\\.\n"
         "\nExit status: 0 done, 1 wrong command line, 2 damaged input or failed output.\n";
}

namespace {

fs::path find_index(const fs::path& archive_abs, std::vector<std::string>& looked) {
  std::vector<fs::path> dirs;
  fs::path dir = archive_abs.parent_path();
  dirs.push_back(dir.parent_path());
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  if (!ec) dirs.push_back(cwd.parent_path());
  dirs.push_back(dir);
  std::vector<fs::path> seen;
  for (const fs::path& d : dirs) {
    fs::path norm = d.lexically_normal();
    if (std::find(seen.begin(), seen.end(), norm) != seen.end()) continue;
    seen.push_back(norm);
    looked.push_back(fsx::to_utf8(norm / "chitin.key"));
    fs::path found = fsx::find_file_nocase(norm, "chitin.key");
    if (!found.empty()) return found;
  }
  return {};
}

void progress_line(ToolIo& io, std::size_t done, std::size_t total, bool final) {
  static auto last = std::chrono::steady_clock::time_point{};
  auto now = std::chrono::steady_clock::now();
  if (!final && now - last < std::chrono::milliseconds(100)) return;
  last = now;
  unsigned pct = total ? static_cast<unsigned>(done * 100 / total) : 100;
  io.out << "\rExtracting: " << done << " of " << total << " files (" << pct << "%)" << (final ? "\n" : "")
         << std::flush;
}

int list_or_extract(const std::string& arg, bool extract, ToolIo io) {
  fs::path path = fsx::from_utf8(arg);
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    // The index says "x.bif" while the original games keep compressed archives as "x.cbf".
    fs::path cbf = path;
    cbf.replace_extension(".cbf");
    if (fsx::iequals(fsx::to_utf8(path.extension()), ".bif") && fs::exists(cbf, ec)) {
      path = cbf;
    } else {
      io.err << "biftool: " << arg << ": no such file\n";
      return 2;
    }
  }
  std::string shown = fsx::to_utf8(path);
  FileSource file(path, shown);
  Archive archive(file);

  fs::path abs = fs::absolute(path, ec);
  if (ec) abs = path;
  std::vector<std::string> looked;
  fs::path key_path = find_index(abs, looked);
  std::unique_ptr<FileSource> key_file;
  std::unique_ptr<Key> key;
  long long bif_index = -1;
  std::string archive_name = fsx::to_utf8(path.filename());
  std::string note;
  if (key_path.empty()) {
    note = "note: no chitin.key found (looked for " + looked.front();
    for (std::size_t i = 1; i < looked.size(); ++i) note += ", " + looked[i];
    note += "); resources are named after their locators\n";
  } else {
    key_file = std::make_unique<FileSource>(key_path, fsx::to_utf8(key_path));
    key = std::make_unique<Key>(*key_file);
    bif_index = key->find_bif(archive_name);
    if (bif_index < 0)
      note = "note: " + key_file->name() + " does not list " + archive_name +
             "; resources are named after their locators\n";
  }
  std::vector<Planned> plan = plan_names(archive, key.get(), bif_index);

  io.out << shown << ": " << archive.format() << ", " << archive.file_count() << " file"
         << (archive.file_count() == 1 ? "" : "s") << ", " << archive.tileset_count() << " tileset"
         << (archive.tileset_count() == 1 ? "" : "s") << "\n";
  if (key && bif_index >= 0) io.out << "Index: " << key_file->name() << " (BIF entry " << bif_index << ")\n";
  if (!note.empty()) {
    io.out << std::flush;
    io.err << note << std::flush;
  }

  if (!extract) {
    print_listing(archive, plan, io.out);
    std::size_t damaged = 0;
    for (const Entry& e : archive.entries())
      if (e.damaged) {
        if (damaged++ < 5) io.err << "biftool: " << archive.problem(e) << "\n";
      }
    if (damaged > 5) io.err << "biftool: ... and " << (damaged - 5) << " more damaged entries\n";
    return damaged ? 2 : 0;
  }

  fs::path out_dir = path.parent_path() / path.stem();
  std::string out_shown = fsx::to_utf8(out_dir) + "/";
#ifdef _WIN32
  out_shown.back() = '\\';
#endif
  io.out << "Extracting " << plan.size() << " resources into " << out_shown << "\n" << std::flush;
  ExtractStats st = extract_all(archive, plan, out_dir, [&](std::size_t done, std::size_t total) {
    if (io.terminal) progress_line(io, done, total, done == total);
  });
  char secs[32];
  std::snprintf(secs, sizeof secs, "%.2f", st.seconds);
  io.out << "Extracted " << st.files << " file" << (st.files == 1 ? "" : "s") << ", " << st.bytes << " bytes in "
         << secs << " seconds into " << out_shown << "\n"
         << std::flush;
  if (st.errors.empty()) return 0;
  std::size_t shown_errors = 0;
  for (const std::string& e : st.errors)
    if (shown_errors++ < 10) io.err << "biftool: " << e << "\n";
  if (st.errors.size() > 10) io.err << "biftool: ... and " << (st.errors.size() - 10) << " more errors\n";
  if (st.stopped)
    io.err << "biftool: extraction stopped after " << st.files << " of " << plan.size() << " resources\n";
  else
    io.err << "biftool: " << st.errors.size() << " of " << plan.size() << " resources could not be extracted\n";
  return 2;
}

}  // namespace

int run_tool(const std::vector<std::string>& args, ToolIo io) {
  try {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "-?" || args[0] == "/?")) {
      io.out << help_text();
      return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
      io.out << "biftool " << VINTREL_VERSION_TEXT << "\n";
      return 0;
    }
    bool extract = false;
    std::size_t i = 0;
    if (i < args.size() && args[i] == "-extr") {
      extract = true;
      ++i;
    }
    if (i < args.size() && args[i] == "--") ++i;
    else if (i < args.size() && !args[i].empty() && args[i][0] == '-') {
      io.err << "biftool: unknown option " << args[i] << "\n" << usage_text();
      return 1;
    }
    if (i + 1 != args.size() || args[i].empty()) {
      io.err << (i >= args.size() ? "biftool: no archive given\n" : i + 1 < args.size() ? "biftool: too many arguments\n" : "biftool: empty archive name\n")
             << usage_text();
      return 1;
    }
    return list_or_extract(args[i], extract, io);
  } catch (const Error& e) {
    io.out << std::flush;
    io.err << "biftool: " << e.what() << "\n";
    return 2;
  } catch (const std::bad_alloc&) {
    io.out << std::flush;
    io.err << "biftool: out of memory\n";
    return 2;
  } catch (const std::exception& e) {
    io.out << std::flush;
    io.err << "biftool: " << e.what() << "\n";
    return 2;
  }
}

}  // namespace bif
