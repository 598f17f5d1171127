// The modes on the whole game, through its index: the archives it lists, every resource of the
// game, and extraction of the chosen ones from all archives at once into one folder, two or more
// archives at a time on their own threads.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "archive.h"
#include "input_file.h"
#include "key.h"
#include "locate.h"
#include "mode_support.h"
#include "modes.h"
#include "names.h"
#include "paths.h"

namespace bif {

namespace {

struct Game {
    std::string index, folder;
    std::unique_ptr<FileSource> key_file;
    std::unique_ptr<Key> key;
    std::unique_ptr<IndexNames> names; // arranged once for all archives
};

Game open_game(const Options& o)
{
    Game g;
    g.index = game_index(o.index);
    if (g.index.empty())
        throw Error("no chitin.key found in the current folder or the one above; give the game's index with --key");
    g.folder = paths::folder_of(absolute_path(g.index));
    g.key_file = std::make_unique<FileSource>(g.index, g.index);
    g.key = std::make_unique<Key>(*g.key_file);
    g.names = std::make_unique<IndexNames>(*g.key);
    return g;
}

// One archive of the index, opened and named, with what the filter chose of it.
struct Job {
    u32 bif = 0;
    std::string path;
    std::unique_ptr<FileSource> file;
    std::unique_ptr<Archive> archive;
    std::optional<Plan> plan;
    std::optional<Selection> chosen;
    u64 bytes = 0;
    ExtractStats st;
};

// Walks the index's archives in order, opening each found one once with all the BIF entries that
// name it (they differ by case); `fn(job)` for each that opens (it may keep the job), the exit
// status counting the missing and unusable.
template <typename Fn>
int each_game_archive(const Game& g, const Options& o, ToolIo& io, Fn fn)
{
    ExitStatus status;
    std::vector<std::pair<std::string, std::vector<u32>>> found;
    std::unordered_map<std::string, std::size_t> by_path;
    for (u32 i = 0; i < g.key->bif_count(); ++i) {
        try {
            const std::string name(g.key->bif_name(i));
            std::optional<std::string> path = locate_archive(g.folder, name);
            if (!path) {
                io.err << "biftool: " << name << ": missing (the index lists it; it is not in the game's folders)\n";
                status.add(exit_unusable);
                continue;
            }
            auto [at, fresh] = by_path.try_emplace(absolute_path(*path), found.size());
            if (fresh)
                found.push_back({*path, {}});
            found[at->second].second.push_back(i);
        } catch (const Error& e) {
            io.err << "biftool: " << e.what() << "\n";
            status.add(exit_unusable);
        }
    }
    for (auto& [path, bifs] : found) {
        auto job = std::make_unique<Job>();
        job->bif = bifs.front();
        try {
            job->path = path;
            job->file = std::make_unique<FileSource>(job->path, job->path);
            job->archive = std::make_unique<Archive>(*job->file);
            job->plan.emplace(*job->archive, g.key.get(), bifs, g.names.get());
            job->chosen.emplace(choose(*job->archive, *job->plan, o.filter));
        } catch (const Error& e) {
            io.out.flush();
            io.err << "biftool: " << e.what() << "\n";
            status.add(exit_unusable);
            continue;
        }
        status.add(fn(job));
    }
    if (g.key->bif_count() == 0)
        status.add(exit_done);
    return status.code();
}

} // namespace

int mode_list_archives(const Options& o, ToolIo& io)
{
    Game g = open_game(o);
    if (o.format == ListFormat::table)
        io.out << "Index: " << g.index << ", " << g.key->bif_count() << " archives\n";
    else if (o.format == ListFormat::tsv)
        io.out << "bif\tname\tsize\tpath\n";
    ExitStatus status;
    for (u32 i = 0; i < g.key->bif_count(); ++i) {
        std::string name, path, size;
        try {
            name = g.key->bif_name(i);
            if (std::optional<std::string> p = locate_archive(g.folder, name)) {
                path = *p;
                size = std::to_string(FileSource(path, path).size());
            }
        } catch (const Error& e) {
            io.err << "biftool: " << e.what() << "\n";
        }
        status.add(path.empty() ? exit_unusable : exit_done);
        if (o.format == ListFormat::jsonl)
            io.out << "{\"bif\":" << i << ",\"name\":" << json_string(name)
                   << ",\"size\":" << (path.empty() ? "null" : size)
                   << ",\"path\":" << (path.empty() ? "null" : json_string(path)) << "}\n";
        else if (o.format == ListFormat::tsv)
            io.out << i << '\t' << name << '\t' << size << '\t' << path << '\n';
        else
            io.out << "  " << i << "  " << name << "  "
                   << (path.empty() ? std::string("missing") : size + " bytes  " + path) << "\n";
    }
    return g.key->bif_count() == 0 ? exit_done : status.code() == exit_unusable ? exit_some_skipped : status.code();
}

int mode_list_game(const Options& o, ToolIo& io)
{
    Game g = open_game(o);
    print_record_header(o.format, io.out);
    FolderNames names; // as a whole-game extraction names them
    return each_game_archive(g, o, io, [&](std::unique_ptr<Job>& job) {
        names.claim(*job->chosen);
        if (o.format == ListFormat::table) {
            io.out << job->path << ": " << job->archive->format() << ", BIF entry " << job->bif << " of " << g.index
                   << "\n";
            print_table(*job->chosen, io.out);
        } else {
            print_records(job->path, *job->chosen, o.format, io.out);
        }
        return report_damaged(*job->chosen, io) ? exit_some_skipped : exit_done;
    });
}

namespace {

// Extracts the jobs on `threads` threads, each taking the next archive (the largest first).
void run_jobs(std::vector<std::unique_ptr<Job>>& jobs, const OutputPlace& place, bool per_archive,
              const WriteOptions& write, Tally& tally, const std::function<void()>& wait_tick)
{
    std::sort(jobs.begin(), jobs.end(), [](const auto& a, const auto& b) { return a->bytes > b->bytes; });
    const unsigned threads = static_cast<unsigned>(
        std::min<std::size_t>(std::clamp(std::thread::hardware_concurrency(), 2u, 4u), jobs.size()));
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex m;
    std::condition_variable all_done;
    unsigned finished = 0;
    auto worker = [&](unsigned w) {
        WriteOptions mine = write;
        if (mine.output.seed)
            mine.output.seed += w;
        std::unique_ptr<OutputFolder> shared;
        for (std::size_t j; !stop && (j = next++) < jobs.size();) {
            Job& job = *jobs[j];
            try {
                std::unique_ptr<OutputFolder> own;
                if (per_archive) {
                    const std::string name = output_folder_name(paths::name_of(job.path));
                    own = open_output({paths::join(place.parent, place.name), name, paths::join(place.shown, name)},
                                      {&*job.chosen}, mine.output);
                } else if (!shared) {
                    shared = OutputFolder::open(place.parent, place.name, place.shown, mine.output);
                }
                extract_chosen(*job.archive, *job.chosen, own ? *own : *shared, place.shown, mine, job.st, &tally,
                               nullptr);
            } catch (const std::exception& e) {
                job.st.failed += job.chosen->size();
                job.st.errors.push_back(e.what());
            }
            if (job.st.stopped)
                stop = true;
            job.archive.reset(); // its buffers go as soon as it is done
            job.file.reset();
        }
        std::lock_guard<std::mutex> lock(m);
        ++finished;
        all_done.notify_one();
    };
    std::vector<std::thread> pool;
    for (unsigned w = 1; w < threads; ++w)
        pool.emplace_back(worker, w);
    std::thread last(worker, 0u);
    for (std::unique_lock<std::mutex> lock(m);
         !all_done.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished == threads; });)
        wait_tick();
    for (std::thread& t : pool)
        t.join();
    last.join();
}

} // namespace

int mode_extract_game(const Options& o, ToolIo& io)
{
    Game g = open_game(o);
    auto t0 = std::chrono::steady_clock::now();
    const std::string out = o.out.value_or("resources");
    const OutputPlace place = chosen_place(out);
    std::vector<std::unique_ptr<Job>> jobs;
    int opened = each_game_archive(g, o, io, [&](std::unique_ptr<Job>& job) {
        if (!job->chosen->empty()) {
            job->bytes = job->chosen->bytes();
            jobs.push_back(std::move(job));
        }
        return exit_done;
    });
    WriteOptions write{io.output, o.keep, o.decrypt};
    write.output.keep_existing = o.keep;
    FolderNames names;
    SpaceNeed need;
    u64 files = 0, bytes = 0;
    std::vector<const Selection*> lists;
    for (auto& job : jobs) {
        if (!o.per_archive)
            names.claim(*job->chosen);
        need.add(*job->chosen);
        lists.push_back(&*job->chosen);
        files += job->chosen->size();
        bytes += job->bytes;
    }
    need.check(place, write);
    open_output(place, o.per_archive ? std::vector<const Selection*>{} : lists, write.output);
    const std::string shown = paths::join(out, "");
    (io.out << "Extracting " << files << " resources from " << jobs.size() << " archives into " << shown << "\n")
        .flush();
    Tally tally;
    ProgressLine progress(io, files, bytes);
    run_jobs(jobs, place, o.per_archive, write, tally, [&] { progress.show(tally.files, tally.bytes, false); });
    if (files)
        progress.show(tally.files, tally.bytes, true);
    ExtractStats st;
    for (auto& job : jobs)
        st.add(job->st);
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    int code = report_extraction(st, files, shown, o.keep, io);
    if (opened != exit_done)
        return code == exit_done ? exit_some_skipped : code;
    return code;
}

} // namespace bif
