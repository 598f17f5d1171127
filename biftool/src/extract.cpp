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
        const Entry& e = archive.entries()[plan.entry(i)];
        const std::string name = plan.file_name(i);
        out << name;
        for (std::size_t k = name.size(); k < width; ++k)
            out << ' ';
        std::snprintf(line, sizeof line, "  %-6s  %12" PRIu64, hex16(plan.type(i)).c_str(), e.output_size());
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
void check_free_space(const Archive& archive, const Plan& plan, const OutputPlace& place)
{
    u64 need = 0;
    for (std::size_t i = 0; i < plan.size(); ++i)
        if (const Entry& e = archive.entries()[plan.entry(i)]; !e.damaged)
            need += e.output_size();
    std::optional<u64> free = OutputFolder::free_space(place.parent);
    if (free && need > *free) {
        const std::string folder = paths::join(place.parent, place.name);
        u64 growth = 0, largest = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const Entry& e = archive.entries()[plan.entry(i)];
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

// The planned files in the order of their data in the archive, so that compressed archives
// decompress forward.
std::vector<u32> archive_order(const Archive& archive, const Plan& plan)
{
    const auto& entries = archive.entries();
    std::vector<u32> order(plan.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<u32>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](u32 a, u32 b) { return entries[plan.entry(a)].offset < entries[plan.entry(b)].offset; });
    return order;
}

// Copies an entry's data (after its TIS header, for a tileset) in fixed-size chunks. Throws Error
// when the archive cannot be read; false and `failure` when the file cannot be written.
bool copy_entry(Archive& archive, const Entry& e, OutputFile& out, std::vector<unsigned char>& buf,
                WriteFailure& failure)
{
    u64 pos = e.offset, left = e.size();
    std::size_t fill = 0;
    if (e.tileset) {
        Archive::tis_header(e, buf.data());
        fill = tis_header_size;
    }
    do {
        std::size_t take = static_cast<std::size_t>(std::min<u64>(left, buf.size() - fill));
        archive.data().read(pos, buf.data() + fill, take);
        pos += take;
        left -= take;
        fill += take;
        if (fill && !out.write(buf.data(), fill, failure))
            return false;
        fill = 0;
    } while (left > 0);
    return true;
}

void failed(ExtractStats& st, const std::string& why)
{
    if (st.failed++ < kept_errors)
        st.errors.push_back(why);
}

Outcome extract_one(Archive& archive, const std::string& name, const Entry& e, OutputFolder& folder,
                    std::vector<unsigned char>& buf, ExtractStats& st)
{
    if (e.damaged) {
        failed(st, archive.problem(e) + "; " + name + " not extracted");
        return Outcome::skipped;
    }
    WriteFailure failure;
    std::unique_ptr<OutputFile> out = folder.create(name, failure);
    try {
        if (out && copy_entry(archive, e, *out, buf, failure) && out->commit(failure)) {
            ++st.files;
            st.bytes += e.output_size();
            return Outcome::written;
        }
    } catch (const Error& err) {
        failed(st, std::string(err.what()) + "; " + name + " not extracted");
        return Outcome::skipped;
    }
    failed(st, name + ": cannot write: " + failure.why);
    return failure.whole_volume ? Outcome::stop : Outcome::skipped;
}

} // namespace

ExtractStats extract_all(Archive& archive, const Plan& plan, const OutputPlace& place, const OutputOptions& options,
                         const std::function<void(std::size_t, std::size_t)>& progress)
{
    auto t0 = std::chrono::steady_clock::now();
    check_free_space(archive, plan, place);
    std::unique_ptr<OutputFolder> folder = OutputFolder::open(place.parent, place.name, place.shown, options);
    remove_leftovers(*folder, plan);
    ExtractStats st;
    std::vector<unsigned char> buf(copy_buffer);
    std::size_t done = 0;
    for (u32 i : archive_order(archive, plan)) {
        if (progress)
            progress(done, plan.size());
        ++done;
        if (extract_one(archive, plan.file_name(i), archive.entries()[plan.entry(i)], *folder, buf, st) ==
            Outcome::stop) {
            st.stopped = true;
            break;
        }
    }
    if (progress)
        progress(done, plan.size());
    st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return st;
}

} // namespace bif
