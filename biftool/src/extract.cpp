#include "extract.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <thread>
#include <unordered_set>

#include "decrypt.h"
#include "paths.h"
#include "read_ahead.h"
#include "runs.h"
#include "text_util.h"

namespace bif {

Selection Selection::all(const Archive& archive, const Plan& plan)
{
    Selection s(archive, plan);
    s.files_.resize(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i)
        s.files_[i] = static_cast<u32>(i);
    return s;
}

std::string Selection::name(std::size_t i) const
{
    auto it = renamed_.find(i);
    return it != renamed_.end() ? it->second : plan_->file_name(files_[i]);
}

u64 Selection::bytes() const
{
    u64 n = 0;
    for (std::size_t i = 0; i < size(); ++i)
        n += entry(i).damaged ? 0 : entry(i).output_size();
    return n;
}

void ExtractStats::add(const ExtractStats& o)
{
    files += o.files;
    bytes += o.bytes;
    kept += o.kept;
    for (std::size_t i = 0; i < o.errors.size() && errors.size() < 10; ++i)
        errors.push_back(o.errors[i]);
    failed += o.failed;
    stopped = stopped || o.stopped;
}

namespace {

constexpr std::size_t copy_buffer = std::size_t{1} << 20;
constexpr u64 kept_errors = 10; // a hostile archive may fail a million times

enum class Outcome { written, kept, skipped, stop };

} // namespace

void SpaceNeed::check(const OutputPlace& place, const WriteOptions& options) const
{
    u64 need = 0;
    for (const Selection* p : parts_)
        need += p->bytes();
    std::optional<u64> free =
        options.output.free_space ? options.output.free_space : OutputFolder::free_space(place.parent);
    if (free && need > *free) {
        const std::string folder = paths::join(place.parent, place.name);
        u64 growth = 0, largest = 0;
        for (const Selection* p : parts_)
            for (std::size_t i = 0; i < p->size(); ++i) {
                const Entry& e = p->entry(i);
                const std::string path = paths::join(folder, p->name(i));
                if (e.damaged || (options.keep_existing && path_exists(path)))
                    continue;
                u64 old = OutputFolder::freed_by_replacing(path);
                growth += e.output_size() < old ? 0 : e.output_size() - old;
                largest = std::max(largest, old);
            }
        need = std::min(need, growth + largest);
    }
    if (free && need > *free)
        throw Error(place.shown + ": not enough free space: the resources need " + bytes_text(need) +
                    ", the disk has " + bytes_text(*free) + " free");
}

std::unique_ptr<OutputFolder> open_output(const OutputPlace& place, const std::vector<const Selection*>& names,
                                          const OutputOptions& options)
{
    std::unique_ptr<OutputFolder> folder = OutputFolder::open(place.parent, place.name, place.shown, options);
    const std::string old_suffix = ".~part";
    std::unordered_set<std::string> old, ours;
    folder->remove_files([&](const std::string& n) {
        if (TemporaryNames::matches(n))
            return true;
        if (n.size() > old_suffix.size() && n.ends_with(old_suffix))
            old.insert(n.substr(0, n.size() - old_suffix.size()));
        return false;
    });
    for (const Selection* list : names)
        for (std::size_t i = 0; !old.empty() && i < list->size(); ++i)
            if (std::string name = list->name(i); old.count(name))
                ours.insert(name + old_suffix);
    if (!ours.empty())
        folder->remove_files([&](const std::string& n) { return ours.count(n) != 0; });
    return folder;
}

namespace {

// The chosen files in archive order, the longer first where several start together: a
// compressed archive is then inflated forward, once, and whatever an entry shares with those
// before it lies in one file already written.
std::vector<u32> archive_order(const Selection& chosen)
{
    std::vector<u32> order(chosen.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<u32>(i);
    std::stable_sort(order.begin(), order.end(), [&](u32 a, u32 b) {
        const Entry &x = chosen.entry(a), &y = chosen.entry(b);
        return x.offset != y.offset ? x.offset < y.offset : x.size() > y.size();
    });
    return order;
}

void failed(ExtractStats& st, const std::string& why)
{
    if (st.failed++ < kept_errors)
        st.errors.push_back(why);
}

// Writes the chosen files in archive order. From a compressed archive, the file of the entry
// reaching furthest into the data is held open and unnamed until another reaches further: the data
// later entries share with earlier ones is copied from it rather than inflated again. A file
// written decrypted holds other bytes than the archive's and is never held.
class Extraction {
public:
    Extraction(Archive& archive, Source& data, const Selection& chosen, OutputFolder& folder, const std::string& shown,
               const WriteOptions& options, ExtractStats& st, Tally* tally)
        : archive_(archive), data_(data), chosen_(chosen), folder_(folder), shown_(shown), options_(options), st_(st),
          tally_(tally), buf_(copy_buffer)
    {
    }

    Outcome extract_one(u32 i)
    {
        const Entry& e = chosen_.entry(i);
        const std::string name = chosen_.name(i);
        if (e.damaged) {
            failed(st_, archive_.problem(e) + "; " + name + " not extracted");
            return Outcome::skipped;
        }
        if (options_.keep_existing && folder_.exists(name)) {
            ++st_.kept;
            return Outcome::kept;
        }
        WriteFailure failure;
        std::unique_ptr<OutputFile> out = folder_.create(name, failure);
        try {
            u64 written = 0;
            bool plain = false;
            const bool decrypt = options_.decrypt && may_be_encrypted(chosen_.type(i));
            if (out && copy_entry(e, decrypt, *out, failure, written, plain)) {
                if (!archive_.compressed() || plain || e.offset + e.size() <= held_.end)
                    return commit(*out, name, written);
                Outcome before = release_held();
                held_ = Held{std::move(out), name, e.offset, e.offset + e.size(), e.tileset ? u64{tis_header_size} : 0,
                             written};
                return before;
            }
        } catch (const Error& err) {
            failed(st_, std::string(err.what()) + "; " + name + " not extracted");
            return Outcome::skipped;
        }
        failed(st_, failure.denied ? unwritable_folder(shown_, failure.why) : name + ": cannot write: " + failure.why);
        return failure.whole_volume ? Outcome::stop : Outcome::skipped;
    }

    // Names the held file, complete since it was held.
    Outcome release_held()
    {
        if (!held_.file)
            return Outcome::written;
        Held h = std::move(held_);
        held_ = Held{};
        return commit(*h.file, h.name, h.output_size);
    }

private:
    struct Held {
        std::unique_ptr<OutputFile> file;
        std::string name;
        u64 start = 0, end = 0; // the stretch of the archive's data it holds
        u64 skip = 0;           // its TIS header
        u64 output_size = 0;
    };

    // Copies an entry's data (after its TIS header, for a tileset) in fixed-size chunks; with
    // `decrypt`, an encrypted text loses its marker and is written plain (`plain`). Throws Error
    // when the archive cannot be read; false and `failure` when the file cannot be written.
    bool copy_entry(const Entry& e, bool decrypt, OutputFile& out, WriteFailure& failure, u64& written, bool& plain)
    {
        u64 pos = e.offset, text_pos = 0;
        const u64 end = e.offset + e.size();
        std::size_t fill = 0;
        if (e.tileset) {
            Archive::tis_header(e, buf_.data());
            fill = tis_header_size;
        }
        do {
            std::size_t take = static_cast<std::size_t>(std::min<u64>(end - pos, buf_.size() - fill));
            const unsigned char* ready = nullptr;
            const bool held = held_.file && pos < held_.end;
            if (fill == 0 && !decrypt && !held) // written from where it lies, not copied here first
                if (const std::size_t k = data_.peek(pos, take, ready)) {
                    if (!out.write(ready, k, failure))
                        return false;
                    pos += k;
                    written += k;
                    continue;
                }
            if (held) {
                take = static_cast<std::size_t>(std::min<u64>(take, held_.end - pos));
                if (!held_.file->read_back(held_.skip + pos - held_.start, buf_.data() + fill, take, failure))
                    return false;
            } else {
                data_.read(pos, buf_.data() + fill, take);
            }
            unsigned char* p = buf_.data();
            std::size_t n = fill + take;
            if (decrypt && pos == e.offset && starts_encrypted(p, n)) {
                plain = true;
                p += encrypted_marker_size;
                n -= encrypted_marker_size;
            }
            if (plain) {
                decrypt_text(p, n, text_pos);
                text_pos += n;
            }
            pos += take;
            if (n && !out.write(p, n, failure))
                return false;
            written += n;
            fill = 0;
        } while (pos < end);
        return true;
    }

    Outcome commit(OutputFile& out, const std::string& name, u64 size)
    {
        WriteFailure failure;
        if (out.commit(failure)) {
            ++st_.files;
            st_.bytes += size;
            if (tally_) {
                tally_->files.fetch_add(1, std::memory_order_relaxed);
                tally_->bytes.fetch_add(size, std::memory_order_relaxed);
            }
            return Outcome::written;
        }
        if (failure.exists) { // made by someone else while this one was written
            ++st_.kept;
            return Outcome::kept;
        }
        failed(st_, name + ": cannot write: " + failure.why);
        return failure.whole_volume ? Outcome::stop : Outcome::skipped;
    }

    Archive& archive_;
    Source& data_; // the archive's data, a reader of its blocks of this thread's own, or one reading ahead
    const Selection& chosen_;
    OutputFolder& folder_;
    const std::string& shown_;
    const WriteOptions& options_;
    ExtractStats& st_;
    Tally* tally_;
    std::vector<unsigned char> buf_;
    Held held_;
};

} // namespace

namespace {

constexpr unsigned most_threads = 4;

// Where the runs of the chosen files in `order` start; one run when the archive cannot be shared out.
std::vector<std::size_t> runs_of(Archive& archive, const Selection& chosen, const std::vector<u32>& order,
                                 const WriteOptions& options, std::unique_ptr<InflateSource>& walker)
{
    if (archive.compressed() && !archive.blocks())
        return {0}; // one zlib stream
    std::vector<Span> spans(order.size());
    u64 total = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Entry& e = chosen.entry(order[k]);
        spans[k] = Span{e.offset, e.size(), e.damaged};
        total += e.damaged ? 0 : e.size();
    }
    if (total < 2 * options.run_bytes)
        return {0};
    RunLimits limits;
    limits.bytes = options.run_bytes;
    if (InflateSource* blocks = archive.blocks()) {
        walker = blocks->sibling();
        limits.base = [&](u64 off) { return walker->block_start(off); };
    }
    return plan_runs(spans, limits);
}

// The runs on threads of their own, each thread taking the next. A run is written as the whole
// archive would be; a failure of the volume lets the runs before it finish and stops those after.
void extract_runs(Archive& archive, const Selection& chosen, const std::vector<u32>& order,
                  const std::vector<std::size_t>& starts, OutputFolder& folder, const std::string& shown,
                  const WriteOptions& options, ExtractStats& st, Tally* tally,
                  const std::function<void(std::size_t, std::size_t)>& progress, const FolderOpener& more_folders)
{
    const unsigned threads =
        static_cast<unsigned>(std::min<std::size_t>(std::min(options.threads, most_threads), starts.size()));
    std::vector<ExtractStats> results(starts.size());
    std::vector<std::exception_ptr> thrown(threads);
    std::atomic<std::size_t> next{0}, done{0}, stop_at{starts.size()};
    auto worker = [&](unsigned w) {
        try {
            std::unique_ptr<OutputFolder> own;
            if (w > 0) {
                try {
                    own = more_folders(w);
                } catch (const Error&) {
                    return; // the other threads write its share
                }
            }
            std::unique_ptr<InflateSource> blocks = archive.blocks() ? archive.blocks()->sibling() : nullptr;
            Source& data = blocks ? *blocks : archive.data();
            for (std::size_t r; (r = next++) < starts.size() && r < stop_at;) {
                const std::size_t end = r + 1 < starts.size() ? starts[r + 1] : order.size();
                Extraction x(archive, data, chosen, own ? *own : folder, shown, options, results[r], tally);
                bool stopped = false;
                for (std::size_t k = starts[r]; k < end && !stopped && r < stop_at; ++k) {
                    if (w == 0 && progress)
                        progress(done, chosen.size());
                    ++done;
                    stopped = x.extract_one(order[k]) == Outcome::stop;
                }
                if (x.release_held() == Outcome::stop || stopped) {
                    results[r].stopped = true;
                    std::size_t at = stop_at;
                    while (r < at && !stop_at.compare_exchange_weak(at, r)) // the earliest run to stop wins
                        ;
                }
            }
        } catch (...) {
            thrown[w] = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned w = 1; w < threads; ++w)
        pool.emplace_back(worker, w);
    worker(0);
    for (std::thread& t : pool)
        t.join();
    for (const std::exception_ptr& e : thrown)
        if (e)
            std::rethrow_exception(e);
    for (const ExtractStats& r : results)
        st.add(r);
    if (progress)
        progress(done, chosen.size());
}

} // namespace

void extract_chosen(Archive& archive, const Selection& chosen, OutputFolder& folder, const std::string& shown,
                    const WriteOptions& options, ExtractStats& st, Tally* tally,
                    const std::function<void(std::size_t, std::size_t)>& progress, const FolderOpener& more_folders)
{
    const std::vector<u32> order = archive_order(chosen);
    std::unique_ptr<InflateSource> walker;
    if (options.threads > 1 && more_folders) {
        const std::vector<std::size_t> starts = runs_of(archive, chosen, order, options, walker);
        walker.reset();
        if (starts.size() > 1)
            return extract_runs(archive, chosen, order, starts, folder, shown, options, st, tally, progress,
                                more_folders);
    }
    // One stream is inflated a little ahead on a thread of its own while this one writes.
    std::optional<ReadAhead> ahead;
    if (InflateSource* stream = archive.stream(); stream && options.threads > 1 && more_folders) {
        u64 total = 0, reach = 0;
        for (std::size_t i = 0; i < chosen.size(); ++i)
            if (const Entry& e = chosen.entry(i); !e.damaged) {
                total += e.size();
                reach = std::max(reach, e.offset + e.size());
            }
        if (total >= 2 * options.run_bytes)
            ahead.emplace(*stream, reach);
    }
    Extraction x(archive, ahead ? *ahead : archive.data(), chosen, folder, shown, options, st, tally);
    std::size_t done = 0;
    for (u32 i : order) {
        if (progress)
            progress(done, chosen.size());
        ++done;
        if (x.extract_one(i) == Outcome::stop) {
            st.stopped = true;
            break;
        }
    }
    if (x.release_held() == Outcome::stop)
        st.stopped = true;
    if (progress)
        progress(done, chosen.size());
}

ExtractStats extract_all(Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options,
                         const std::function<void(std::size_t, std::size_t)>& progress)
{
    auto t0 = std::chrono::steady_clock::now();
    const Selection all = Selection::all(archive, plan);
    const WriteOptions write{options};
    SpaceNeed need;
    need.add(all);
    need.check(place, write);
    std::unique_ptr<OutputFolder> folder = open_output(place, {&all}, options);
    ExtractStats st;
    extract_chosen(archive, all, *folder, place.shown, write, st, nullptr, progress);
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return st;
}

} // namespace bif
