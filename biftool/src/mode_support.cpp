#include "mode_support.h"

#include <cstdio>

#include "text_util.h"
#include "input_file.h"
#include "paths.h"

namespace bif {

Selection choose(const Archive& archive, const Plan& plan, const Filter& filter)
{
    if (filter.empty())
        return Selection::all(archive, plan);
    Selection some(archive, plan);
    for (std::size_t i = 0; i < plan.size(); ++i)
        if (filter.matches(plan.file_name(i), plan.type(i)))
            some.add(static_cast<u32>(i));
    return some;
}

void FolderNames::claim(Selection& chosen)
{
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const std::string name = chosen.name(i);
        auto [it, fresh] = taken_.try_emplace(std::hash<std::string>{}(text_util::lower(name)), 2);
        if (fresh)
            continue;
        const std::size_t dot = name.rfind('.');
        const std::string stem = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot);
        for (u32 n = it->second;; ++n) {
            std::string candidate = stem + "~" + std::to_string(n) + ext;
            if (taken_.try_emplace(std::hash<std::string>{}(text_util::lower(candidate)), 2).second) {
                taken_[std::hash<std::string>{}(text_util::lower(name))] = n + 1;
                chosen.rename(i, std::move(candidate));
                break;
            }
        }
    }
}

OutputPlace chosen_place(const std::string& out)
{
    std::string full = absolute_path(out);
    std::string name = paths::name_of(full);
    if (name.empty() || name == "." || name == "..")
        throw Error(out + ": cannot extract into it: give a folder below the root, by a name of its own");
    make_folders(paths::folder_of(full), out);
    return OutputPlace{paths::folder_of(full), name, out};
}

int report_extraction(const ExtractStats& st, std::size_t planned, const std::string& shown, bool keep, ToolIo& io)
{
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.2f", st.seconds);
    io.out << "Extracted " << st.files << " file" << (st.files == 1 ? "" : "s") << ", " << st.bytes << " bytes in "
           << secs << " seconds into " << shown << "\n";
    if (keep)
        io.out << "Kept " << st.kept << " existing file" << (st.kept == 1 ? "" : "s") << " unchanged\n";
    io.out.flush();
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
    return st.stopped || st.files + st.kept == 0 ? exit_unusable : exit_some_skipped;
}

std::size_t report_damaged(const Selection& chosen, ToolIo& io)
{
    std::size_t damaged = 0;
    for (std::size_t i = 0; i < chosen.size(); ++i)
        if (const Entry& e = chosen.entry(i); e.damaged && damaged++ < shown_errors)
            io.err << "biftool: " << chosen.archive().problem(e) << "\n";
    if (damaged > shown_errors)
        io.err << "biftool: ... and " << (damaged - shown_errors) << " more damaged entries\n";
    return damaged;
}

void ProgressLine::show(u64 files, u64 bytes, bool final)
{
    if (!io_.terminal)
        return;
    auto now = std::chrono::steady_clock::now();
    if (!final && now - last_ < std::chrono::milliseconds(100))
        return;
    last_ = now;
    const double mib = 1024.0 * 1024.0;
    unsigned pct = bytes_ ? static_cast<unsigned>(bytes * 100 / bytes_) : 100;
    char line[160];
    std::snprintf(line, sizeof line, "\rExtracting: %llu of %llu files, %.1f of %.1f MiB (%u%%)%s",
                  static_cast<unsigned long long>(files), static_cast<unsigned long long>(files_), bytes / mib,
                  bytes_ / mib, pct, final ? "\n" : "");
    (io_.out << line).flush();
}

} // namespace bif
