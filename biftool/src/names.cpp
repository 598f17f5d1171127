#include "names.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "text_util.h"

namespace bif {

namespace {
struct TypeName {
    u16 code;
    const char* ext;
};
// The resource types of the Infinity Engine games (Baldur's Gate I/II, Icewind Dale I/II,
// Planescape: Torment and their Enhanced Editions); earlier tables of the format documentation
// also give WBM as 0x0401.
constexpr TypeName type_names[] = {
    {0x0001, "BMP"}, {0x0002, "MVE"},  {0x0004, "WAV"},  {0x0005, "WFX"},  {0x0006, "PLT"},  {0x03E8, "BAM"},
    {0x03E9, "WED"}, {0x03EA, "CHU"},  {0x03EB, "TIS"},  {0x03EC, "MOS"},  {0x03ED, "ITM"},  {0x03EE, "SPL"},
    {0x03EF, "BCS"}, {0x03F0, "IDS"},  {0x03F1, "CRE"},  {0x03F2, "ARE"},  {0x03F3, "DLG"},  {0x03F4, "2DA"},
    {0x03F5, "GAM"}, {0x03F6, "STO"},  {0x03F7, "WMP"},  {0x03F8, "EFF"},  {0x03F9, "BS"},   {0x03FA, "CHR"},
    {0x03FB, "VVC"}, {0x03FC, "VEF"},  {0x03FD, "PRO"},  {0x03FE, "BIO"},  {0x03FF, "WBM"},  {0x0400, "FNT"},
    {0x0401, "WBM"}, {0x0402, "GUI"},  {0x0403, "SQL"},  {0x0404, "PVRZ"}, {0x0405, "GLSL"}, {0x0406, "TOT"},
    {0x0407, "TOH"}, {0x0408, "MENU"}, {0x0409, "LUA"},  {0x040A, "TTF"},  {0x040B, "PNG"},  {0x044C, "BAH"},
    {0x0802, "INI"}, {0x0803, "SRC"},  {0x0804, "MAZE"},
};

bool bad_char(unsigned char c) { return c < 0x20 || c >= 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr; }
} // namespace

const char* known_extension(u16 type)
{
    for (const TypeName& t : type_names)
        if (t.code == type)
            return t.ext;
    return nullptr;
}

std::string extension(u16 type)
{
    if (const char* e = known_extension(type))
        return e;
    return hex16(type);
}

bool is_reserved_device(const std::string& stem)
{
    // Windows ignores anything from the first dot and trailing blanks when it checks device names.
    std::string base = stem.substr(0, stem.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = text_util::upper(base);
    static const char* const device_names[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* d : device_names)
        if (base == d)
            return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
        base[3] <= '9')
        return true;
    return false;
}

namespace {
// keep_utf8: bytes beyond ASCII stay, for names the file system already accepted.
std::string safe_stem(const std::string& raw, bool keep_utf8)
{
    std::string s;
    for (char ch : raw) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0)
            break;
        s += bad_char(c) && !(keep_utf8 && c >= 0x80) ? '_' : ch;
    }
    for (std::size_t i = 0; i < s.size() && (s[i] == '.' || s[i] == ' '); ++i)
        s[i] = '_';
    for (std::size_t i = s.size(); i > 0 && (s[i - 1] == '.' || s[i - 1] == ' '); --i)
        s[i - 1] = '_';
    if (is_reserved_device(s)) {
        std::size_t end = s.find('.');
        if (end == std::string::npos)
            end = s.size();
        while (end > 0 && s[end - 1] == ' ')
            --end;
        s.insert(end, "_");
    }
    return s;
}
} // namespace

std::string sanitize_stem(const std::string& raw) { return safe_stem(raw, false); }

std::string output_folder_name(const std::string& archive_file_name)
{
    std::string stem = archive_file_name.substr(0, archive_file_name.rfind('.'));
    std::string safe = safe_stem(stem, true);
    return safe.empty() ? "_" : safe;
}

std::string locator_stem(u32 locator)
{
    char b[16];
    std::snprintf(b, sizeof b, "LOC%05X", static_cast<unsigned>(locator & 0xFFFFF));
    return b;
}

namespace {

// One name the index gives an archive entry.
struct IndexName {
    std::string resref;
    u16 type = 0;
    u32 position = 0; // in the index's resource table
};
// By archive entry, in the index's order: locators reach at most 16384 files and 64 tilesets.
using NamedEntries = std::unordered_map<std::size_t, std::vector<IndexName>>;

// Finds the archive entry an index resource of this archive refers to: a TIS a tileset by
// (locator >> 14) & 0x3F (0 is none), any other type a file by locator & 0x3FFF; the first
// archive entry wins a clash.
class EntryByLocator {
public:
    explicit EntryByLocator(const std::vector<Entry>& entries)
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            (entries[i].tileset ? tilesets_ : files_)
                .try_emplace(entries[i].tileset ? entries[i].tileset_index() : entries[i].file_index(), i);
    }
    std::optional<std::size_t> find(const KeyResource& r) const
    {
        const bool tis = r.type == type_tis;
        const u32 at = tis ? (r.locator >> 14) & 0x3F : r.locator & 0x3FFF;
        const auto& map = tis ? tilesets_ : files_;
        auto it = map.find(at);
        if ((tis && at == 0) || it == map.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::unordered_map<u32, std::size_t> files_, tilesets_;
};

std::string name_key(const char* resref, u16 type) { return text_util::upper(resref) + '\0' + std::to_string(type); }

bool ours(const std::vector<u32>& bifs, u32 bif) { return std::find(bifs.begin(), bifs.end(), bif) != bifs.end(); }

// The last index entry with a given name and type is the one the game uses: an earlier one
// loses its name to it, unless the later one points at nothing (an entry missing from this
// archive, or an archive the index does not list).
void drop_overridden(const IndexNames& index, const std::vector<u32>& bifs, const EntryByLocator& by_locator,
                     NamedEntries& named)
{
    for (auto& [entry, names] : named)
        std::erase_if(names, [&](const IndexName& n) {
            const std::vector<KeyResource>* all = index.repeats(n.resref.c_str(), n.type);
            if (!all)
                return false;
            u32 last = n.position;
            for (const KeyResource& r : *all) {
                u32 rbif = r.locator >> 20;
                if (ours(bifs, rbif) ? by_locator.find(r).has_value() : rbif < index.key().bif_count())
                    last = r.index;
            }
            return last != n.position;
        });
}

// Every name the index gives each entry of the archive, once per name and type (the later
// position kept).
NamedEntries index_names(const Archive& archive, const IndexNames& index, const std::vector<u32>& bifs)
{
    NamedEntries named;
    std::unordered_map<std::string, std::size_t> seen; // name, type and entry: its place in the entry's names
    EntryByLocator by_locator(archive.entries());
    for (const KeyResource& r : index.of_bifs(bifs)) {
        if (auto t = by_locator.find(r)) {
            std::vector<IndexName>& names = named[*t];
            auto [at, fresh] = seen.try_emplace(name_key(r.resref, r.type) + '\0' + std::to_string(*t), names.size());
            if (fresh)
                names.push_back(IndexName{r.resref, r.type, r.index});
            else
                names[at->second].position = r.index;
        }
    }
    drop_overridden(index, bifs, by_locator, named);
    return named;
}

// Same name twice (or the same but for case): the later ones are numbered, "NAME~2.EXT". Names
// taken are kept as 64-bit hashes in one open-addressed table sized for them all, each with the
// next number to try for names built on it: equal names always clash, and a name that merely
// shares a hash is numbered when it need not be, never given twice.
class UniqueNames {
public:
    explicit UniqueNames(std::size_t names) : hashes_(names + names / 2 + 1), next_(hashes_.size()) {}

    // Takes the name and returns its number: 0 for "stem.ext" itself, else N of "stem~N.ext".
    u32 take(const std::string& stem, const std::string& ext)
    {
        auto [first, free] = claim(stem + "." + ext);
        if (free)
            return 0;
        u32 n = std::max<u32>(next_[first], 2);
        while (!claim(stem + "~" + std::to_string(n) + "." + ext).second)
            ++n;
        next_[first] = n + 1;
        return n;
    }

private:
    // The slot of the name's hash, and whether the name was free (it is taken now).
    std::pair<std::size_t, bool> claim(const std::string& name)
    {
        u64 h = std::hash<std::string>{}(text_util::lower(name)) | 1; // 0 marks a free slot
        std::size_t i = static_cast<std::size_t>(h % hashes_.size());
        while (hashes_[i] != 0 && hashes_[i] != h)
            i = i + 1 == hashes_.size() ? 0 : i + 1;
        bool free = hashes_[i] == 0;
        hashes_[i] = h;
        return {i, free};
    }

    std::vector<u64> hashes_;
    std::vector<u32> next_;
};

} // namespace

IndexNames::IndexNames(const Key& key) : key_(&key), by_bif_(key.bif_count())
{
    // Most names are given once: counted by a hash first, only the few that may repeat are kept.
    auto hash = [](const KeyResource& r) {
        u64 h = 14695981039346656037ull;
        for (const char* p = r.resref; *p; ++p)
            h = (h ^ static_cast<unsigned char>(*p >= 'a' && *p <= 'z' ? *p - 32 : *p)) * 1099511628211ull;
        return h ^ (u64{r.type} << 48);
    };
    std::unordered_map<u64, u32> seen;
    seen.reserve(key.resource_count());
    key.for_each_resource([&](const KeyResource& r) {
        if ((r.locator >> 20) < by_bif_.size())
            by_bif_[r.locator >> 20].push_back(r);
        ++seen[hash(r)];
    });
    key.for_each_resource([&](const KeyResource& r) {
        if (seen[hash(r)] > 1)
            repeats_[name_key(r.resref, r.type)].push_back(r);
    });
    std::erase_if(repeats_, [](const auto& kv) { return kv.second.size() < 2; });
}

std::vector<KeyResource> IndexNames::of_bifs(const std::vector<u32>& bifs) const
{
    std::vector<KeyResource> all;
    for (u32 b : bifs)
        if (b < by_bif_.size())
            all.insert(all.end(), by_bif_[b].begin(), by_bif_[b].end());
    if (bifs.size() > 1)
        std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
    return all;
}

const std::vector<KeyResource>* IndexNames::repeats(const char* resref, u16 type) const
{
    if (repeats_.empty())
        return nullptr;
    auto it = repeats_.find(name_key(resref, type));
    return it == repeats_.end() ? nullptr : &it->second;
}

Plan::Plan(const Archive& archive, const Key* key, const std::vector<u32>& bifs, const IndexNames* index)
    : archive_(&archive)
{
    NamedEntries named;
    std::optional<IndexNames> own;
    if (key && !bifs.empty() && !index)
        index = &own.emplace(*key);
    if (key && !bifs.empty())
        named = index_names(archive, *index, bifs);
    const std::vector<Entry>& entries = archive.entries();
    files_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t first = files_.size();
        if (auto it = named.find(i); it != named.end())
            for (const IndexName& n : it->second)
                if (std::string stem = sanitize_stem(n.resref); !stem.empty()) {
                    names_.emplace(files_.size(), Name{std::move(stem), n.type});
                    files_.push_back(File{static_cast<u32>(i), 0});
                }
        if (files_.size() == first)
            files_.push_back(File{static_cast<u32>(i), 0});
    }
    UniqueNames unique(files_.size());
    for (std::size_t f = 0; f < files_.size(); ++f)
        files_[f].number = unique.take(stem(f), ext(f));
}

u16 Plan::type(std::size_t file) const
{
    auto it = names_.find(file);
    return it != names_.end() ? it->second.type : archive_->entries()[files_[file].entry].type;
}

std::string Plan::stem(std::size_t file) const
{
    auto it = names_.find(file);
    return it != names_.end() ? it->second.stem : locator_stem(archive_->entries()[files_[file].entry].locator);
}

std::string Plan::ext(std::size_t file) const
{
    if (auto it = names_.find(file); it != names_.end())
        return extension(it->second.type);
    const Entry& e = archive_->entries()[files_[file].entry];
    return e.tileset ? std::string("TIS") : extension(e.type);
}

std::string Plan::file_name(std::size_t file) const
{
    u32 n = files_[file].number;
    return stem(file) + (n ? "~" + std::to_string(n) : std::string()) + "." + ext(file);
}

} // namespace bif
