#include "tool.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "archive.h"
#include "extract.h"
#include "fsutil.h"
#include "input_file.h"
#include "key.h"
#include "names.h"
#include "paths.h"
#include "vintrel_version.h"

namespace bif {

std::string usage_text()
{
    return "Usage: biftool ARCHIVE          list the resources in a BIF archive\n"
           "       biftool -extr ARCHIVE    extract them into a folder named after the archive\n"
           "       biftool --help | --version\n";
}

static std::string help_text()
{
    return "biftool " VINTREL_VERSION_TEXT " - lists and extracts the BIF archives of Infinity Engine games\n\n" +
           usage_text() +
           "\nARCHIVE is a .bif (or .cbf) file: BIFF V1, BIF V1.0 or BIFC V1.0. The resource names come\n"
           "from the game's index, chitin.key, looked for one folder above the archive (then one folder\n"
           "above the current folder). Resources the index does not name are called LOCxxxxx after\n"
           "their locator. \"-extr data\\AREA000A.bif\" writes every resource into data\\AREA000A\\.\n"
           "An archive whose name starts with '-' may follow \"--\".\n"
           "\nExit status:\n"
           "  0  everything listed or written\n"
           "  1  wrong command line\n"
           "  2  the archive or index is unusable, or nothing could be written\n"
           "  3  some resources are damaged or could not be written; the others were\n";
}

namespace {

constexpr int exit_done = 0, exit_usage = 1, exit_unusable = 2, exit_some_skipped = 3;
constexpr std::size_t shown_errors = 10;

// The archive the argument names: the file itself, or "x.cbf" when "x.bif" is missing (the index
// says "x.bif" where the original games keep compressed archives as "x.cbf").
std::optional<std::string> existing_archive(const std::string& arg)
{
    if (path_exists(arg))
        return arg;
    std::string name = paths::name_of(arg);
    if (name.size() <= 4 || !fsx::iequals(name.substr(name.size() - 4), ".bif"))
        return std::nullopt;
    std::string cbf = arg.substr(0, arg.size() - 4) + ".cbf";
    if (path_exists(cbf))
        return cbf;
    return std::nullopt;
}

std::string find_index(const std::string& archive_path, std::vector<std::string>& looked)
{
    const std::string dir = paths::folder_of(absolute_path(archive_path));
    std::vector<std::string> seen;
    for (const std::string& d : {paths::folder_of(dir), paths::folder_of(absolute_path(".")), dir}) {
        if (std::find(seen.begin(), seen.end(), d) != seen.end())
            continue;
        seen.push_back(d);
        looked.push_back(paths::join(d, "chitin.key"));
        std::string found = find_file_nocase(d, "chitin.key");
        if (!found.empty())
            return found;
    }
    return {};
}

// The archive opened and its entries named through the index, when there is one.
struct Named {
    std::unique_ptr<FileSource> file, key_file;
    std::unique_ptr<Archive> archive;
    std::unique_ptr<Key> key;
    long long bif_index = -1;
    std::string note; // why the names come from the locators
    std::optional<Plan> plan;
};

void open_index(const std::string& archive_path, Named& n)
{
    std::vector<std::string> looked;
    std::string key_path = find_index(archive_path, looked);
    std::string archive_name = paths::name_of(archive_path);
    if (key_path.empty()) {
        n.note = "note: no chitin.key found (looked for " + looked.front();
        for (std::size_t i = 1; i < looked.size(); ++i)
            n.note += ", " + looked[i];
        n.note += "); resources are named after their locators\n";
        return;
    }
    n.key_file = std::make_unique<FileSource>(key_path, key_path);
    n.key = std::make_unique<Key>(*n.key_file);
    n.bif_index = n.key->find_bif(archive_name);
    if (n.bif_index < 0)
        n.note =
            "note: " + key_path + " does not list " + archive_name + "; resources are named after their locators\n";
}

void print_header(const Named& n, ToolIo& io)
{
    const Archive& a = *n.archive;
    io.out << a.name() << ": " << a.format() << ", " << a.file_count() << " file" << (a.file_count() == 1 ? "" : "s")
           << ", " << a.tileset_count() << " tileset" << (a.tileset_count() == 1 ? "" : "s") << "\n";
    if (n.key && n.bif_index >= 0)
        io.out << "Index: " << n.key_file->name() << " (BIF entry " << n.bif_index << ")\n";
    if (!n.note.empty()) {
        io.out.flush();
        (io.err << n.note).flush();
    }
}

int list(const Named& n, ToolIo& io)
{
    print_listing(*n.archive, *n.plan, io.out);
    std::size_t damaged = 0;
    for (const Entry& e : n.archive->entries())
        if (e.damaged && damaged++ < shown_errors)
            io.err << "biftool: " << n.archive->problem(e) << "\n";
    if (damaged > shown_errors)
        io.err << "biftool: ... and " << (damaged - shown_errors) << " more damaged entries\n";
    return damaged ? exit_some_skipped : exit_done;
}

void progress_line(ToolIo& io, std::size_t done, std::size_t total, bool final)
{
    static auto last = std::chrono::steady_clock::time_point{};
    auto now = std::chrono::steady_clock::now();
    if (!final && now - last < std::chrono::milliseconds(100))
        return;
    last = now;
    unsigned pct = total ? static_cast<unsigned>(done * 100 / total) : 100;
    (io.out << "\rExtracting: " << done << " of " << total << " files (" << pct << "%)" << (final ? "\n" : "")).flush();
}

int report_extraction(const ExtractStats& st, std::size_t planned, const std::string& shown, ToolIo& io)
{
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.2f", st.seconds);
    (io.out << "Extracted " << st.files << " file" << (st.files == 1 ? "" : "s") << ", " << st.bytes << " bytes in "
            << secs << " seconds into " << shown << "\n")
        .flush();
    if (st.failed == 0)
        return exit_done;
    for (std::size_t i = 0; i < st.errors.size() && i < shown_errors; ++i)
        io.err << "biftool: " << st.errors[i] << "\n";
    if (st.failed > shown_errors)
        io.err << "biftool: ... and " << (st.failed - shown_errors) << " more errors\n";
    if (st.stopped)
        io.err << "biftool: extraction stopped after " << st.files << " of " << planned << " resources\n";
    else
        io.err << "biftool: " << st.failed << " of " << planned << " resources could not be extracted\n";
    return st.stopped || st.files == 0 ? exit_unusable : exit_some_skipped;
}

int extract(Named& n, const std::string& archive_path, ToolIo& io)
{
    const std::string folder = paths::folder_of(archive_path), name = output_folder_name(paths::name_of(archive_path));
    const OutputPlace place{folder, name, paths::join(folder, name)};
    const std::string shown = paths::join(place.shown, "");
    (io.out << "Extracting " << n.plan->size() << " resources into " << shown << "\n").flush();
    ExtractStats st = extract_all(*n.archive, *n.plan, place, io.output, [&](std::size_t done, std::size_t total) {
        if (io.terminal)
            progress_line(io, done, total, done == total);
    });
    return report_extraction(st, n.plan->size(), shown, io);
}

int list_or_extract(const std::string& path, bool extract_it, ToolIo& io)
{
    Named n;
    n.file = std::make_unique<FileSource>(path, path);
    n.archive = std::make_unique<Archive>(*n.file);
    open_index(path, n);
    n.plan.emplace(*n.archive, n.key.get(), n.bif_index);
    print_header(n, io);
    return extract_it ? extract(n, path, io) : list(n, io);
}

struct Command {
    bool extract = false, help = false, version = false;
    std::vector<std::string> archives;
    std::string unknown; // the first unknown option
};

// Options come first; an argument that names an existing file is the archive even when it starts
// with '-', and "--" ends the options.
Command parse(const std::vector<std::string>& args)
{
    Command c;
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--")
            options = false;
        else if (options && a == "-extr")
            c.extract = true;
        else if (options && (a == "--help" || a == "-h" || a == "-?" || a == "/?"))
            c.help = true;
        else if (options && a == "--version")
            c.version = true;
        else if (options && a.size() > 1 && a[0] == '-' && !path_exists(a))
            c.unknown = c.unknown.empty() ? a : c.unknown;
        else
            c.archives.push_back(a);
    }
    return c;
}

int run(const std::vector<std::string>& args, ToolIo& io)
{
    Command c = parse(args);
    if ((c.help || c.version) && args.size() == 1) {
        io.out << (c.help ? help_text() : "biftool " VINTREL_VERSION_TEXT "\n");
        return exit_done;
    }
    std::string problem = !c.unknown.empty()      ? "unknown option " + c.unknown
                          : c.help || c.version   ? std::string("--help and --version stand alone")
                          : c.archives.empty()    ? std::string("no archive given")
                          : c.archives.size() > 1 ? std::string("too many arguments")
                          : c.archives[0].empty() ? std::string("empty archive name")
                                                  : std::string();
    if (!problem.empty()) {
        io.err << "biftool: " << problem << "\n" << usage_text();
        return exit_usage;
    }
    std::optional<std::string> path = existing_archive(c.archives[0]);
    if (!path) {
        io.err << "biftool: " << c.archives[0] << ": no such file\n";
        return exit_unusable;
    }
    return list_or_extract(*path, c.extract, io);
}

} // namespace

int run_tool(const std::vector<std::string>& args, ToolIo io)
{
    try {
        return run(args, io);
    } catch (const std::bad_alloc&) {
        io.out.flush();
        io.err << "biftool: out of memory\n";
    } catch (const std::exception& e) {
        io.out.flush();
        io.err << "biftool: " << e.what() << "\n";
    }
    return exit_unusable;
}

} // namespace bif
