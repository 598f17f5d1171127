#include "tool.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "archive.h"
#include "extract.h"
#include "fsutil.h"
#include "index_search.h"
#include "input_file.h"
#include "names.h"
#include "paths.h"
#include "vintrel_version.h"

namespace bif {

std::string usage_text()
{
    return "Usage: biftool ARCHIVE          list the resources in a BIF archive\n"
           "       biftool -extr ARCHIVE    extract them into a folder named after the archive\n"
           "       biftool --help | --version\n"
           "Option: --key INDEX             name the resources through this index (chitin.key, mod.key)\n";
}

static std::string help_text()
{
    return "biftool " VINTREL_VERSION_TEXT " - lists and extracts the BIF archives of Infinity Engine games\n\n" +
           usage_text() +
           "\nARCHIVE is a .bif (or .cbf) file: BIFF V1, BIF V1.0 or BIFC V1.0. The resource names and\n"
           "extensions come from the game's index: the nearest chitin.key (or an expansion's mod.key)\n"
           "in the archive's folder or any folder above it that lists the archive, wherever the game\n"
           "keeps it (data\\, CD2\\data\\, cache\\, lang\\de_DE\\data\\), else one above the current\n"
           "folder; --key names it outright. Resources the index does not name are called LOCxxxxx\n"
           "after their locator. \"-extr data\\AREA000A.bif\" writes every resource into data\\AREA000A\\.\n"
           "An archive whose name starts with '-' may follow \"--\".\n"
           "\nExit status:\n"
           "  0  everything listed or written\n"
           "  1  wrong command line\n"
           "  2  the archive (or the index named by --key) is unusable, or nothing could be written\n"
           "  3  some resources are damaged or could not be written; the others were\n"
           "  4  everything listed or written, but named LOCxxxxx: the index found does not list\n"
           "     the archive or cannot be read (the note says which and why)\n";
}

namespace {

constexpr int exit_done = 0, exit_usage = 1, exit_unusable = 2, exit_some_skipped = 3, exit_unnamed = 4;
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

// The archive opened and its entries named through the index, when there is one.
struct Named {
    std::unique_ptr<FileSource> file;
    std::unique_ptr<Archive> archive;
    FoundIndex index;
    std::optional<Plan> plan;
};

void print_header(const Named& n, ToolIo& io)
{
    const Archive& a = *n.archive;
    io.out << a.name() << ": " << a.format() << ", " << a.file_count() << " file" << (a.file_count() == 1 ? "" : "s")
           << ", " << a.tileset_count() << " tileset" << (a.tileset_count() == 1 ? "" : "s") << "\n";
    if (n.index.key) {
        io.out << "Index: " << n.index.path << " (BIF entr" << (n.index.bifs.size() == 1 ? "y " : "ies ");
        for (std::size_t i = 0; i < n.index.bifs.size(); ++i)
            io.out << (i ? ", " : "") << n.index.bifs[i];
        io.out << ")\n";
    }
    if (!n.index.note.empty()) {
        io.out.flush();
        (io.err << n.index.note).flush();
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

int list_or_extract(const std::string& path, const std::optional<std::string>& key, bool extract_it, ToolIo& io)
{
    Named n;
    n.file = std::make_unique<FileSource>(path, path);
    n.archive = std::make_unique<Archive>(*n.file);
    n.index = find_index(path, key);
    n.plan.emplace(*n.archive, n.index.key.get(), n.index.bifs);
    print_header(n, io);
    const int done = extract_it ? extract(n, path, io) : list(n, io);
    return done == exit_done && n.index.unusable ? exit_unnamed : done;
}

struct Command {
    bool extract = false, help = false, version = false;
    std::optional<std::string> key;
    std::vector<std::string> archives;
    std::string unknown; // the first unknown option
};

// Options come first; an argument that names an existing file is the archive even when it starts
// with '-', and "--" ends the options.
Command parse(const std::vector<std::string>& args)
{
    Command c;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--")
            options = false;
        else if (options && a.rfind("--key=", 0) == 0)
            c.key = a.substr(6);
        else if (options && a == "--key")
            c.key = i + 1 < args.size() ? args[++i] : std::string();
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
    if (problem.empty() && c.key && c.key->empty())
        problem = "--key needs an index file";
    if (!problem.empty()) {
        io.err << "biftool: " << problem << "\n" << usage_text();
        return exit_usage;
    }
    std::optional<std::string> path = existing_archive(c.archives[0]);
    if (!path) {
        io.err << "biftool: " << c.archives[0] << ": no such file\n";
        return exit_unusable;
    }
    return list_or_extract(*path, c.key, c.extract, io);
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
