#include "extract.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <unordered_set>

#include "fsutil.h"
#include "paths.h"

namespace bif {

void print_listing(const Archive& archive, const Plan& plan, TextSink& out)
{
    std::size_t width = 12;
    for (std::size_t i = 0; i < plan.size(); ++i)
        width = std::max(width, plan.file_name(i).size());
    char line[512];
    std::snprintf(line, sizeof line, "%-*s  %-6s  %12s  %6s\n", static_cast<int>(width), "Name", "Type", "Size",
                  "Tiles");
    out << line;
    u64 total = 0;
    std::size_t damaged = 0;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const Entry& e = archive.entries()[i];
        const std::string name = plan.file_name(i);
        out << name;
        for (std::size_t k = name.size(); k < width; ++k)
            out << ' ';
        std::snprintf(line, sizeof line, "  %-6s  %12" PRIu64, hex16(e.type).c_str(), e.output_size());
        out << line;
        if (e.tileset) {
            std::snprintf(line, sizeof line, "  %6u", static_cast<unsigned>(e.tiles()));
            out << line;
        }
        if (e.damaged) {
            out << "  DAMAGED";
            ++damaged;
        } else {
            total += e.output_size();
        }
        out << '\n';
    }
    out << "Total: " << plan.size() << (plan.size() == 1 ? " resource, " : " resources, ") << total << " bytes";
    if (damaged)
        out << " (" << damaged << " damaged, not counted)";
    out << '\n';
}

namespace {

constexpr std::size_t copy_buffer = std::size_t{1} << 20;
constexpr u64 kept_errors = 10; // a hostile archive may fail a million times

enum class Outcome { written, skipped, stop };

// Files that will be replaced give their room back, each once its successor is written: looked at
// only when it matters.
void check_free_space(const Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options)
{
    u64 need = 0;
    for (const Entry& e : archive.entries())
        if (!e.damaged)
            need += e.output_size();
    std::optional<u64> free = options.free_space ? options.free_space : OutputFolder::free_space(place.parent);
    if (free && need > *free) {
        const std::string folder = paths::join(place.parent, place.name);
        u64 growth = 0, largest = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const Entry& e = archive.entries()[i];
            u64 old = e.damaged ? 0 : OutputFolder::freed_by_replacing(paths::join(folder, plan.file_name(i)));
            growth += e.damaged || e.output_size() < old ? 0 : e.output_size() - old;
            largest = std::max(largest, old);
        }
        need = std::min(need, growth + largest);
    }
    if (free && need > *free)
        throw Error(place.shown + ": not enough free space: the resources need " + bytes_text(need) +
                    ", the disk has " + bytes_text(*free) + " free");
}

// What killed runs left: files under fresh temporary names and, from older versions of the tool,
// "NAME.~part" beside a resource NAME of this archive.
void remove_leftovers(OutputFolder& folder, const Plan& plan)
{
    const std::string old_suffix = ".~part";
    std::unordered_set<std::string> old, ours;
    folder.remove_files([&](const std::string& n) {
        if (TemporaryNames::matches(n))
            return true;
        if (n.size() > old_suffix.size() && n.ends_with(old_suffix))
            old.insert(n.substr(0, n.size() - old_suffix.size()));
        return false;
    });
    for (std::size_t i = 0; !old.empty() && i < plan.size(); ++i)
        if (std::string name = plan.file_name(i); old.count(name))
            ours.insert(name + old_suffix);
    if (!ours.empty())
        folder.remove_files([&](const std::string& n) { return ours.count(n) != 0; });
}

// Entries in archive order, the longer first where several start together: a compressed archive
// is then inflated forward, once, and whatever an entry shares with those before it lies in one
// file already written.
std::vector<u32> archive_order(const Archive& archive)
{
    const auto& entries = archive.entries();
    std::vector<u32> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<u32>(i);
    std::stable_sort(order.begin(), order.end(), [&](u32 a, u32 b) {
        const Entry &x = entries[a], &y = entries[b];
        return x.offset != y.offset ? x.offset < y.offset : x.size() > y.size();
    });
    return order;
}

void failed(ExtractStats& st, const std::string& why)
{
    if (st.failed++ < kept_errors)
        st.errors.push_back(why);
}

// Writes the entries in archive order. From a compressed archive, the file of the entry reaching
// furthest into the data is held open and unnamed until another reaches further: the data later
// entries share with earlier ones is copied from it rather than inflated again.
class Extraction {
public:
    Extraction(Archive& archive, const Plan& plan, OutputFolder& folder, const OutputPlace& place)
        : archive_(archive), plan_(plan), folder_(folder), place_(place), buf_(copy_buffer)
    {
    }

    Outcome extract_one(u32 i)
    {
        const Entry& e = archive_.entries()[i];
        const std::string name = plan_.file_name(i);
        if (e.damaged) {
            failed(st, archive_.problem(e) + "; " + name + " not extracted");
            return Outcome::skipped;
        }
        WriteFailure failure;
        std::unique_ptr<OutputFile> out = folder_.create(name, failure);
        try {
            if (out && copy_entry(e, *out, failure)) {
                if (!archive_.compressed() || e.offset + e.size() <= held_.end)
                    return commit(*out, name, e.output_size());
                Outcome before = release_held();
                held_ = Held{std::move(out), name, e.offset, e.offset + e.size(), e.tileset ? u64{tis_header_size} : 0,
                             e.output_size()};
                return before;
            }
        } catch (const Error& err) {
            failed(st, std::string(err.what()) + "; " + name + " not extracted");
            return Outcome::skipped;
        }
        failed(st,
               failure.denied ? unwritable_folder(place_.shown, failure.why) : name + ": cannot write: " + failure.why);
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

    ExtractStats st;

private:
    struct Held {
        std::unique_ptr<OutputFile> file;
        std::string name;
        u64 start = 0, end = 0; // the stretch of the archive's data it holds
        u64 skip = 0;           // its TIS header
        u64 output_size = 0;
    };

    // Copies an entry's data (after its TIS header, for a tileset) in fixed-size chunks. Throws
    // Error when the archive cannot be read; false and `failure` when the file cannot be written.
    bool copy_entry(const Entry& e, OutputFile& out, WriteFailure& failure)
    {
        u64 pos = e.offset;
        const u64 end = e.offset + e.size();
        std::size_t fill = 0;
        if (e.tileset) {
            Archive::tis_header(e, buf_.data());
            fill = tis_header_size;
        }
        do {
            std::size_t take = static_cast<std::size_t>(std::min<u64>(end - pos, buf_.size() - fill));
            if (held_.file && pos < held_.end) {
                take = static_cast<std::size_t>(std::min<u64>(take, held_.end - pos));
                if (!held_.file->read_back(held_.skip + pos - held_.start, buf_.data() + fill, take, failure))
                    return false;
            } else {
                archive_.data().read(pos, buf_.data() + fill, take);
            }
            pos += take;
            fill += take;
            if (fill && !out.write(buf_.data(), fill, failure))
                return false;
            fill = 0;
        } while (pos < end);
        return true;
    }

    Outcome commit(OutputFile& out, const std::string& name, u64 size)
    {
        WriteFailure failure;
        if (out.commit(failure)) {
            ++st.files;
            st.bytes += size;
            return Outcome::written;
        }
        failed(st, name + ": cannot write: " + failure.why);
        return failure.whole_volume ? Outcome::stop : Outcome::skipped;
    }

    Archive& archive_;
    const Plan& plan_;
    OutputFolder& folder_;
    const OutputPlace& place_;
    std::vector<unsigned char> buf_;
    Held held_;
};

} // namespace

ExtractStats extract_all(Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options,
                         const std::function<void(std::size_t, std::size_t)>& progress)
{
    auto t0 = std::chrono::steady_clock::now();
    check_free_space(archive, plan, place, options);
    std::unique_ptr<OutputFolder> folder = OutputFolder::open(place.parent, place.name, place.shown, options);
    remove_leftovers(*folder, plan);
    Extraction x(archive, plan, *folder, place);
    std::size_t done = 0;
    for (u32 i : archive_order(archive)) {
        if (progress)
            progress(done, plan.size());
        ++done;
        if (x.extract_one(i) == Outcome::stop) {
            x.st.stopped = true;
            break;
        }
    }
    if (x.release_held() == Outcome::stop)
        x.st.stopped = true;
    ExtractStats st = std::move(x.st);
    if (progress)
        progress(done, plan.size());
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return st;
}

} // namespace bif
