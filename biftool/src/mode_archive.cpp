// The modes on archives named on the command line: list them, or extract them, each into a
// folder beside it (as Vintrel asks) or all into the folder of --out.
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "archive.h"
#include "text_util.h"
#include "index_search.h"
#include "input_file.h"
#include "mode_support.h"
#include "modes.h"
#include "names.h"
#include "paths.h"

namespace bif {

namespace {

// The archive the argument names: the file itself, or "x.cbf" when "x.bif" is missing (the index
// says "x.bif" where the original games keep compressed archives as "x.cbf").
std::optional<std::string> existing_archive(const std::string& arg)
{
    if (path_exists(arg))
        return arg;
    std::string name = paths::name_of(arg);
    if (name.size() <= 4 || !text_util::iequals(name.substr(name.size() - 4), ".bif"))
        return std::nullopt;
    std::string cbf = arg.substr(0, arg.size() - 4) + ".cbf";
    if (path_exists(cbf))
        return cbf;
    return std::nullopt;
}

// The files one archive needs opened: the archive itself and the index that names its entries,
// when there is one.
struct OpenedArchive {
    std::string path;
    std::unique_ptr<FileSource> file;
    std::unique_ptr<Archive> archive;
    FoundIndex index;
    std::optional<Plan> plan;
};

void open_archive(const std::string& path, const Options& o, OpenedArchive& n)
{
    n.path = path;
    n.file = std::make_unique<FileSource>(path, path);
    n.archive = std::make_unique<Archive>(*n.file);
    n.index = find_index(path, o.index);
    n.plan.emplace(*n.archive, n.index.key.get(), n.index.bifs);
}

void print_header(const OpenedArchive& n, const Options& o, ToolIo& io)
{
    const Archive& a = *n.archive;
    if (o.format == ListFormat::table) {
        io.out << a.name() << ": " << a.format() << ", " << a.file_count() << " file"
               << (a.file_count() == 1 ? "" : "s") << ", " << a.tileset_count() << " tileset"
               << (a.tileset_count() == 1 ? "" : "s") << "\n";
        if (n.index.key) {
            io.out << "Index: " << n.index.path << " (BIF entr" << (n.index.bifs.size() == 1 ? "y " : "ies ");
            for (std::size_t i = 0; i < n.index.bifs.size(); ++i)
                io.out << (i ? ", " : "") << n.index.bifs[i];
            io.out << ")\n";
        }
    }
    if (!n.index.note.empty()) {
        io.out.flush();
        (io.err << n.index.note).flush();
    }
}

// When the last progress line went out; one clock for the whole run, every archive's lines on it.
using ProgressClock = std::chrono::steady_clock::time_point;

void progress_line(ToolIo& io, std::size_t done, std::size_t total, bool final, ProgressClock& last)
{
    auto now = std::chrono::steady_clock::now();
    if (!final && now - last < std::chrono::milliseconds(100))
        return;
    last = now;
    unsigned pct = total ? static_cast<unsigned>(done * 100 / total) : 100;
    (io.out << "\rExtracting: " << done << " of " << total << " files (" << pct << "%)" << (final ? "\n" : "")).flush();
}

// Everything done, but under LOC names where an index was found that does not name the archive.
int unnamed(int code, const OpenedArchive& n) { return code == exit_done && n.index.unusable ? exit_unnamed : code; }

int list_one(const std::string& path, const Options& o, ToolIo& io)
{
    OpenedArchive n;
    open_archive(path, o, n);
    print_header(n, o, io);
    const Selection chosen = choose(*n.archive, *n.plan, o.filter);
    if (o.format == ListFormat::table)
        print_table(chosen, io.out);
    else
        print_records(path, chosen, o.format, io.out);
    return unnamed(report_damaged(chosen, io) ? exit_some_skipped : exit_done, n);
}

struct Totals {
    std::size_t archives = 0;
    ExtractStats st;
    ProgressClock last_progress{};
};

// `out`: the folder of --out, if given.
int extract_one(const std::string& path, const Options& o, const std::optional<OutputPlace>& out, FolderNames* shared,
                Totals& totals, ToolIo& io)
{
    OpenedArchive n;
    open_archive(path, o, n);
    print_header(n, o, io);
    Selection chosen = choose(*n.archive, *n.plan, o.filter);
    if (shared)
        shared->claim(chosen);
    const std::string folder = paths::folder_of(path), name = output_folder_name(paths::name_of(path));
    OutputPlace place{folder, name, paths::join(folder, name)};
    if (out && o.per_archive)
        place = OutputPlace{paths::join(out->parent, out->name), name, paths::join(out->shown, name)};
    else if (out)
        place = *out;
    const std::string shown = paths::join(place.shown, "");
    (io.out << "Extracting " << chosen.size() << " resources into " << shown << "\n").flush();
    auto t0 = std::chrono::steady_clock::now();
    WriteOptions write{io.output, o.keep, o.decrypt};
    write.output.keep_existing = o.keep;
    SpaceNeed need;
    need.add(chosen);
    need.check(place, write);
    std::unique_ptr<OutputFolder> into = open_output(place, {&chosen}, write.output);
    ExtractStats st;
    write.threads = std::max(1u, std::thread::hardware_concurrency());
    const FolderOpener more_folders = [&](unsigned w) {
        OutputOptions own = write.output;
        if (own.seed)
            own.seed += w;
        return OutputFolder::open(place.parent, place.name, place.shown, own);
    };
    extract_chosen(
        *n.archive, chosen, *into, place.shown, write, st, nullptr,
        [&](std::size_t done, std::size_t total) {
            if (io.terminal)
                progress_line(io, done, total, done == total, totals.last_progress);
        },
        more_folders);
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++totals.archives;
    totals.st.add(st);
    return unnamed(report_extraction(st, chosen.size(), shown, o.keep, io), n);
}

// Runs `one` on every archive; one archive's failure does not stop the others.
template <typename One>
int each_archive(const Options& o, ToolIo& io, One one)
{
    ExitStatus status;
    for (const std::string& arg : o.archives) {
        std::optional<std::string> path = existing_archive(arg);
        if (!path) {
            io.err << "biftool: " << arg << ": no such file\n";
            status.add(exit_unusable);
            continue;
        }
        try {
            status.add(one(*path));
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const Error& e) {
            if (o.archives.size() == 1)
                throw;
            io.out.flush();
            io.err << "biftool: " << e.what() << "\n";
            status.add(exit_unusable);
        }
    }
    return status.code();
}

} // namespace

int mode_list(const Options& o, ToolIo& io)
{
    print_record_header(o.format, io.out);
    return each_archive(o, io, [&](const std::string& path) { return list_one(path, o, io); });
}

int mode_extract(const Options& o, ToolIo& io)
{
    FolderNames names;
    Totals totals;
    // The folder of --out made, or refused, once for all the archives: its failure is said once.
    std::optional<OutputPlace> out;
    if (o.out) {
        out = chosen_place(*o.out);
        OutputFolder::open(out->parent, out->name, out->shown, {});
    }
    const bool shared = o.out && !o.per_archive;
    int code = each_archive(o, io, [&](const std::string& path) {
        return extract_one(path, o, out, shared ? &names : nullptr, totals, io);
    });
    if (o.archives.size() > 1) {
        io.out << "Total: " << totals.archives << " of " << o.archives.size() << " archives, " << totals.st.files
               << " files, " << totals.st.bytes << " bytes written";
        if (o.keep)
            io.out << ", " << totals.st.kept << " kept";
        io.out << (totals.st.failed ? ", " + std::to_string(totals.st.failed) + " not extracted" : std::string())
               << "\n";
    }
    return code;
}

} // namespace bif
