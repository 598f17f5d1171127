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
constexpr TypeName kTypes[] = {
    {0x0001, "BMP"}, {0x0002, "MVE"},  {0x0004, "WAV"},  {0x0005, "WFX"},  {0x0006, "PLT"},  {0x03E8, "BAM"},
    {0x03E9, "WED"}, {0x03EA, "CHU"},  {0x03EB, "TIS"},  {0x03EC, "MOS"},  {0x03ED, "ITM"},  {0x03EE, "SPL"},
    {0x03EF, "BCS"}, {0x03F0, "IDS"},  {0x03F1, "CRE"},  {0x03F2, "ARE"},  {0x03F3, "DLG"},  {0x03F4, "2DA"},
    {0x03F5, "GAM"}, {0x03F6, "STO"},  {0x03F7, "WMP"},  {0x03F8, "EFF"},  {0x03F9, "BS"},   {0x03FA, "CHR"},
    {0x03FB, "VVC"}, {0x03FC, "VEF"},  {0x03FD, "PRO"},  {0x03FE, "BIO"},  {0x03FF, "WBM"},  {0x0400, "FNT"},
    {0x0402, "GUI"}, {0x0403, "SQL"},  {0x0404, "PVRZ"}, {0x0405, "GLSL"}, {0x0406, "TOT"},  {0x0407, "TOH"},
    {0x0408, "MENU"}, {0x0409, "LUA"}, {0x040A, "TTF"},  {0x040B, "PNG"},  {0x044C, "BAH"},  {0x0802, "INI"},
    {0x0803, "SRC"}, {0x0804, "MAZE"},
};

bool bad_char(unsigned char c) {
  return c < 0x20 || c >= 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr;
}
}  // namespace

const char* known_extension(u16 type) {
  for (const TypeName& t : kTypes)
    if (t.code == type) return t.ext;
  return nullptr;
}

std::string extension(u16 type) {
  if (const char* e = known_extension(type)) return e;
  return hex16(type);
}

bool is_reserved_device(const std::string& stem) {
  // Windows ignores anything from the first dot and trailing blanks when it checks device names.
  std::string base = stem.substr(0, stem.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = fsx::upper(base);
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* d : kNames)
    if (base == d) return true;
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
      base[3] <= '9')
    return true;
  return false;
}

std::string sanitize_stem(const std::string& raw) {
  std::string s;
  for (char ch : raw) {
    auto c = static_cast<unsigned char>(ch);
    if (c == 0) break;
    s += bad_char(c) ? '_' : ch;
  }
  for (std::size_t i = 0; i < s.size() && (s[i] == '.' || s[i] == ' '); ++i) s[i] = '_';
  for (std::size_t i = s.size(); i > 0 && (s[i - 1] == '.' || s[i - 1] == ' '); --i) s[i - 1] = '_';
  if (is_reserved_device(s)) {
    std::size_t end = s.find('.');
    if (end == std::string::npos) end = s.size();
    while (end > 0 && s[end - 1] == ' ') --end;
    s.insert(end, "_");
  }
  return s;
}

std::string locator_stem(u32 locator) {
  char b[16];
  std::snprintf(b, sizeof b, "LOC%05X", static_cast<unsigned>(locator & 0xFFFFF));
  return b;
}

std::vector<Planned> plan_names(const Archive& archive, Key* key, long long bif_index) {
  const auto& entries = archive.entries();
  std::vector<Planned> plan(entries.size());
  struct Named {
    std::string resref;
    u16 type = 0;
    u32 locator = 0;
    u32 index = 0;
    bool set = false;
  };
  std::vector<Named> named(entries.size());

  if (key && bif_index >= 0) {
    // Archive entries by the locator part the index refers to; the first entry wins a clash.
    std::unordered_map<u32, std::size_t> files, tilesets;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].tileset)
        tilesets.emplace(entries[i].tileset_index(), i);
      else
        files.emplace(entries[i].file_index(), i);
    }
    auto target = [&](const KeyResource& r) -> long long {
      u32 tix = (r.locator >> 14) & 0x3F;
      if (r.type == kTypeTis && tix != 0) {
        auto it = tilesets.find(tix);
        return it == tilesets.end() ? -1 : static_cast<long long>(it->second);
      }
      auto it = files.find(r.locator & 0x3FFF);
      return it == files.end() ? -1 : static_cast<long long>(it->second);
    };
    // Pass 1: index resources in this archive, the later one winning each archive entry.
    key->for_each_resource([&](const KeyResource& r) {
      if ((r.locator >> 20) != static_cast<u64>(bif_index)) return;
      long long t = target(r);
      if (t < 0) return;
      named[static_cast<std::size_t>(t)] = Named{r.resref, r.type, r.locator, r.index, true};
    });
    // Pass 2: the last index entry with a given name and type is the one the game uses; an
    // earlier one pointing elsewhere loses its name, and its archive entry goes by its locator.
    auto name_key = [](const char* resref, u16 type) { return fsx::upper(resref) + '\0' + std::to_string(type); };
    std::unordered_map<std::string, u32> last_locator;
    for (const Named& n : named)
      if (n.set) last_locator.emplace(name_key(n.resref.c_str(), n.type), n.locator);
    if (!last_locator.empty()) {
      key->for_each_resource([&](const KeyResource& r) {
        auto it = last_locator.find(name_key(r.resref, r.type));
        if (it != last_locator.end()) it->second = r.locator;
      });
      for (Named& n : named)
        if (n.set && last_locator[name_key(n.resref.c_str(), n.type)] != n.locator) n.set = false;
    }
  }

  std::unordered_set<std::string> used;
  std::unordered_map<std::string, unsigned> next_suffix;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    std::string stem;
    bool from_index = false;
    if (named[i].set) {
      stem = sanitize_stem(named[i].resref);
      from_index = !stem.empty();
    }
    if (stem.empty()) stem = locator_stem(e.locator);
    std::string ext = e.tileset ? std::string("TIS") : extension(e.type);
    std::string name = stem + "." + ext;
    std::string folded = fsx::lower(name);
    if (!used.insert(folded).second) {
      // Same name twice (or the same but for case): number the later ones, "NAME~2.EXT".
      unsigned& n = next_suffix[folded];
      if (n < 2) n = 2;
      do name = stem + "~" + std::to_string(n++) + "." + ext;
      while (!used.insert(fsx::lower(name)).second);
    }
    plan[i] = Planned{i, name, from_index};
  }
  return plan;
}

}  // namespace bif
