#include "extract.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_set>

#include "decrypt.h"
#include "fsutil.h"
#include "paths.h"

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
    std::optional<u64> free = OutputFolder::free_space(place.parent);
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

// Chosen entries in archive order, so that compressed archives decompress forward.
std::vector<u32> archive_order(const Selection& chosen)
{
    std::vector<u32> order(chosen.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<u32>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](u32 a, u32 b) { return chosen.entry(a).offset < chosen.entry(b).offset; });
    return order;
}

// Copies an entry's data (after its TIS header, for a tileset) in fixed-size chunks; with
// `decrypt`, an encrypted text loses its marker and is written plain. Throws Error when the
// archive cannot be read; false and `failure` when the file cannot be written.
bool copy_entry(Archive& archive, const Entry& e, bool decrypt, OutputFile& out, std::vector<unsigned char>& buf,
                WriteFailure& failure, u64& written)
{
    u64 pos = e.offset, left = e.size(), text_pos = 0;
    std::size_t fill = 0;
    if (e.tileset) {
        Archive::tis_header(e, buf.data());
        fill = tis_header_size;
    }
    bool plain = false;
    do {
        std::size_t take = static_cast<std::size_t>(std::min<u64>(left, buf.size() - fill));
        archive.data().read(pos, buf.data() + fill, take);
        unsigned char* p = buf.data();
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
        left -= take;
        if (n && !out.write(p, n, failure))
            return false;
        written += n;
        fill = 0;
    } while (left > 0);
    return true;
}

void failed(ExtractStats& st, const std::string& why)
{
    if (st.failed++ < kept_errors)
        st.errors.push_back(why);
}

Outcome extract_one(Archive& archive, const Selection& chosen, std::size_t i, OutputFolder& folder,
                    const WriteOptions& options, std::vector<unsigned char>& buf, ExtractStats& st, Tally* tally)
{
    const Entry& e = chosen.entry(i);
    const std::string name = chosen.name(i);
    if (e.damaged) {
        failed(st, archive.problem(e) + "; " + name + " not extracted");
        return Outcome::skipped;
    }
    if (options.keep_existing && folder.exists(name)) {
        ++st.kept;
        return Outcome::kept;
    }
    WriteFailure failure;
    std::unique_ptr<OutputFile> out = folder.create(name, failure);
    u64 written = 0;
    try {
        if (out &&
            copy_entry(archive, e, options.decrypt && may_be_encrypted(chosen.type(i)), *out, buf, failure, written) &&
            out->commit(failure)) {
            ++st.files;
            st.bytes += written;
            if (tally) {
                tally->files.fetch_add(1, std::memory_order_relaxed);
                tally->bytes.fetch_add(written, std::memory_order_relaxed);
            }
            return Outcome::written;
        }
    } catch (const Error& err) {
        failed(st, std::string(err.what()) + "; " + name + " not extracted");
        return Outcome::skipped;
    }
    if (failure.exists) { // made by someone else while this one was written
        ++st.kept;
        return Outcome::kept;
    }
    failed(st, name + ": cannot write: " + failure.why);
    return failure.whole_volume ? Outcome::stop : Outcome::skipped;
}

} // namespace

void extract_chosen(Archive& archive, const Selection& chosen, OutputFolder& folder, const WriteOptions& options,
                    ExtractStats& st, Tally* tally, const std::function<void(std::size_t, std::size_t)>& progress)
{
    std::vector<unsigned char> buf(copy_buffer);
    std::size_t done = 0;
    for (u32 i : archive_order(chosen)) {
        if (progress)
            progress(done, chosen.size());
        ++done;
        if (extract_one(archive, chosen, i, folder, options, buf, st, tally) == Outcome::stop) {
            st.stopped = true;
            break;
        }
    }
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
    extract_chosen(archive, all, *folder, write, st, nullptr, progress);
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return st;
}

} // namespace bif
