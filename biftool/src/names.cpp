#include "names.h"

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "fsutil.h"

namespace bif {

namespace {
struct TypeName {
    u16 code;
    const char* ext;
};
// The resource types of the Infinity Engine games (Baldur's Gate I/II, Icewind Dale I/II,
// Planescape: Torment and their Enhanced Editions).
constexpr TypeName type_names[] = {
    {0x0001, "BMP"},  {0x0002, "MVE"},  {0x0004, "WAV"},  {0x0005, "WFX"},  {0x0006, "PLT"}, {0x03E8, "BAM"},
    {0x03E9, "WED"},  {0x03EA, "CHU"},  {0x03EB, "TIS"},  {0x03EC, "MOS"},  {0x03ED, "ITM"}, {0x03EE, "SPL"},
    {0x03EF, "BCS"},  {0x03F0, "IDS"},  {0x03F1, "CRE"},  {0x03F2, "ARE"},  {0x03F3, "DLG"}, {0x03F4, "2DA"},
    {0x03F5, "GAM"},  {0x03F6, "STO"},  {0x03F7, "WMP"},  {0x03F8, "EFF"},  {0x03F9, "BS"},  {0x03FA, "CHR"},
    {0x03FB, "VVC"},  {0x03FC, "VEF"},  {0x03FD, "PRO"},  {0x03FE, "BIO"},  {0x03FF, "WBM"}, {0x0400, "FNT"},
    {0x0402, "GUI"},  {0x0403, "SQL"},  {0x0404, "PVRZ"}, {0x0405, "GLSL"}, {0x0406, "TOT"}, {0x0407, "TOH"},
    {0x0408, "MENU"}, {0x0409, "LUA"},  {0x040A, "TTF"},  {0x040B, "PNG"},  {0x044C, "BAH"}, {0x0802, "INI"},
    {0x0803, "SRC"},  {0x0804, "MAZE"},
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
    base = fsx::upper(base);
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

// What the index says about one archive entry.
struct Named {
    std::string resref;
    u16 type = 0;
    u32 locator = 0;
    bool set = false;
};

// Finds the archive entry an index resource of this archive refers to: files by locator & 0x3FFF,
// tilesets by (locator >> 14) & 0x3F; the first archive entry wins a clash.
class EntryByLocator {
public:
    explicit EntryByLocator(const std::vector<Entry>& entries)
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            (entries[i].tileset ? tilesets_ : files_)
                .emplace(entries[i].tileset ? entries[i].tileset_index() : entries[i].file_index(), i);
    }
    std::optional<std::size_t> find(const KeyResource& r) const
    {
        u32 tix = (r.locator >> 14) & 0x3F;
        const auto& map = r.type == type_tis && tix != 0 ? tilesets_ : files_;
        auto it = map.find(r.type == type_tis && tix != 0 ? tix : r.locator & 0x3FFF);
        if (it == map.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::unordered_map<u32, std::size_t> files_, tilesets_;
};

std::string name_key(const char* resref, u16 type) { return fsx::upper(resref) + '\0' + std::to_string(type); }

// The last index entry with a given name and type is the one the game uses: an earlier one
// loses its name to it, unless the later one points at nothing (an entry missing from this
// archive, or an archive the index does not list).
void drop_overridden(const Key& key, u32 bif, const EntryByLocator& by_locator, std::vector<Named>& named)
{
    std::unordered_map<std::string, u32> last_locator;
    for (const Named& n : named)
        if (n.set)
            last_locator.emplace(name_key(n.resref.c_str(), n.type), n.locator);
    if (last_locator.empty())
        return;
    key.for_each_resource([&](const KeyResource& r) {
        auto it = last_locator.find(name_key(r.resref, r.type));
        if (it == last_locator.end())
            return;
        u32 rbif = r.locator >> 20;
        bool exists = rbif == bif ? by_locator.find(r).has_value() : rbif < key.bif_count();
        if (exists)
            it->second = r.locator;
    });
    for (Named& n : named)
        if (n.set && last_locator[name_key(n.resref.c_str(), n.type)] != n.locator)
            n.set = false;
}

std::vector<Named> index_names(const Archive& archive, const Key& key, u32 bif)
{
    std::vector<Named> named(archive.entries().size());
    EntryByLocator by_locator(archive.entries());
    // The later index resource wins each archive entry.
    key.for_each_resource([&](const KeyResource& r) {
        if ((r.locator >> 20) != bif)
            return;
        if (auto t = by_locator.find(r))
            named[*t] = Named{r.resref, r.type, r.locator, true};
    });
    drop_overridden(key, bif, by_locator, named);
    return named;
}

// Same name twice (or the same but for case): the later ones are numbered, "NAME~2.EXT". Names
// taken are kept as hashes, a fraction of their size: equal names always clash, and a name that
// merely shares a hash is numbered when it need not be, never given twice.
class UniqueNames {
public:
    std::string take(const std::string& stem, const std::string& ext)
    {
        std::string name = stem + "." + ext;
        std::string folded = fsx::lower(name);
        if (used_.insert(hash_(folded)).second)
            return name;
        unsigned& n = next_suffix_[folded];
        if (n < 2)
            n = 2;
        do
            name = stem + "~" + std::to_string(n++) + "." + ext;
        while (!used_.insert(hash_(fsx::lower(name))).second);
        return name;
    }

private:
    std::hash<std::string> hash_;
    std::unordered_set<std::size_t> used_;
    std::unordered_map<std::string, unsigned> next_suffix_;
};

} // namespace

std::vector<Planned> plan_names(const Archive& archive, const Key* key, long long bif_index)
{
    const auto& entries = archive.entries();
    std::vector<Named> named = key && bif_index >= 0 ? index_names(archive, *key, static_cast<u32>(bif_index))
                                                     : std::vector<Named>(entries.size());
    std::vector<Planned> plan(entries.size());
    UniqueNames unique;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        std::string stem = named[i].set ? sanitize_stem(named[i].resref) : std::string();
        bool from_index = !stem.empty();
        if (stem.empty())
            stem = locator_stem(e.locator);
        plan[i] = Planned{i, unique.take(stem, e.tileset ? std::string("TIS") : extension(e.type)), from_index};
    }
    return plan;
}

} // namespace bif
