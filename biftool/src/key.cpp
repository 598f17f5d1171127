#include "key.h"

#include <algorithm>
#include <vector>

#include "text_util.h"
#include "records.h"

namespace bif {
namespace {
std::string printable(const unsigned char* p, std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += (p[i] >= 0x20 && p[i] < 0x7F) ? static_cast<char>(p[i]) : '?';
    return s;
}
} // namespace
} // namespace bif

namespace bif {

Key::Key(Source& src) : name_(src.name())
{
    const std::string& n = name_;
    const u64 size = src.size();
    if (size < key_header_size)
        throw Error(n + ": not a game index: " + std::to_string(size) + " bytes, shorter than a KEY header (24)");
    if (size > max_size)
        throw Error(n + ": not a game index: " + bytes_text(size) + ", far more than any game's");
    data_.resize(static_cast<std::size_t>(size));
    src.read(0, data_.data(), data_.size());
    const unsigned char* h = data_.data();
    if (std::memcmp(h, "KEY ", 4) == 0 && std::memcmp(h + 4, "V1  ", 4) != 0)
        throw Error(n + ": not a game index biftool reads: it is a KEY of version \"" + printable(h + 4, 4) +
                    "\", not V1");
    if (std::memcmp(h, "KEY V1  ", 8) != 0)
        throw Error(n + ": not a game index: it does not start with \"KEY V1  \"");
    bif_count_ = le32(h + 8);
    res_count_ = le32(h + 12);
    bif_off_ = le32(h + 16);
    res_off_ = le32(h + 20);
    if (bif_off_ > size || u64{bif_count_} * key_bif_entry_size > size - bif_off_)
        throw Error(n + ": corrupt: its " + std::to_string(bif_count_) + " BIF entries at byte " +
                    std::to_string(bif_off_) + " do not fit in its " + std::to_string(size) + " bytes");
    if (res_off_ > size || u64{res_count_} * key_resource_entry_size > size - res_off_)
        throw Error(n + ": corrupt: its " + std::to_string(res_count_) + " resource entries at byte " +
                    std::to_string(res_off_) + " do not fit in its " + std::to_string(size) + " bytes");
    if (!names_fit(key_bif_entry_size, 4) && names_fit(8, 0))
        throw Error(n + ": not a game index biftool reads: its BIF entries are 8 bytes long, without the "
                        "archive's length, as in an early demo's index");
}

// Whether every BIF entry, read as `entry_size` bytes with its name's offset and length at `at`,
// names a stretch of the file after the table.
bool Key::names_fit(u64 entry_size, u64 at) const
{
    if (bif_count_ == 0 || u64{bif_count_} * entry_size > data_.size() - bif_off_)
        return false;
    const u64 table_end = bif_off_ + u64{bif_count_} * entry_size;
    for (u32 i = 0; i < bif_count_; ++i) {
        const unsigned char* e = data_.data() + bif_off_ + i * entry_size + at;
        u64 off = le32(e), len = le16(e + 4);
        if (off < table_end || off + len > data_.size()) // both at most 32 bits: no overflow
            return false;
    }
    return true;
}

std::string_view Key::bif_name(u32 i) const
{
    if (i >= bif_count_)
        throw Error(name_ + ": no BIF entry " + std::to_string(i));
    const unsigned char* e = data_.data() + bif_off_ + u64{i} * key_bif_entry_size;
    u64 off = le32(e + 4);
    u64 len = le16(e + 8);
    if (off > data_.size() || len > data_.size() - off)
        throw Error(name_ + ": corrupt: the name of BIF entry " + std::to_string(i + 1) + " (" + std::to_string(len) +
                    " bytes at " + std::to_string(off) + ") lies outside the file");
    std::string_view s(reinterpret_cast<const char*>(data_.data() + off), static_cast<std::size_t>(len));
    return s.substr(0, s.find('\0'));
}

std::string_view Key::base_name(std::string_view entry)
{
    auto p = entry.find_last_of("\\/:");
    return p == std::string_view::npos ? entry : entry.substr(p + 1);
}

// The name without `ext` (compared ignoring case), or "" when it does not end so.
static std::string_view strip_ext(std::string_view s, std::string_view ext)
{
    if (s.size() > ext.size() && text_util::iequals(s.substr(s.size() - ext.size()), ext))
        return s.substr(0, s.size() - ext.size());
    return {};
}

bool Key::names_match(std::string_view entry, std::string_view file)
{
    std::string_view b = base_name(entry);
    if (b.empty())
        return false;
    if (text_util::iequals(b, file))
        return true;
    // The original games keep compressed archives as "x.cbf" on disk while the index says "x.bif".
    std::string_view fstem = strip_ext(file, ".cbf"), bstem = strip_ext(b, ".bif");
    return !fstem.empty() && !bstem.empty() && text_util::iequals(fstem, bstem);
}

namespace {
std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i <= path.size();) {
        std::size_t j = std::min(path.find_first_of("\\/:", i), path.size());
        if (j > i)
            parts.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}
} // namespace

Key::ArchiveMatch Key::find_archive(std::string_view path) const
{
    const std::vector<std::string_view> want = components(path);
    ArchiveMatch m;
    std::size_t best_shared = 0, best_extra = 0;
    std::string best_path;
    for (u32 i = 0; i < bif_count_ && !want.empty(); ++i) {
        std::string_view name;
        try {
            name = bif_name(i);
        } catch (const Error& e) {
            if (m.damaged.empty())
                m.damaged = e.what();
            continue;
        }
        if (name.size() > max_name)
            continue;
        const std::vector<std::string_view> have = components(name);
        std::size_t shared = 0;
        if (!have.empty() && names_match(have.back(), want.back()))
            for (shared = 1; shared < have.size() && shared < want.size() &&
                             text_util::iequals(have[have.size() - 1 - shared], want[want.size() - 1 - shared]);)
                ++shared;
        if (shared == 0)
            continue;
        const std::size_t extra = have.size() - shared;
        std::string same;
        for (std::string_view c : have)
            same += text_util::lower(std::string(c)) + '/';
        if (shared > best_shared || (shared == best_shared && extra < best_extra)) {
            m.bifs = {i};
            best_shared = shared, best_extra = extra, best_path = same;
        } else if (shared == best_shared && extra == best_extra && same == best_path) {
            m.bifs.push_back(i);
        }
    }
    return m;
}

void Key::for_each_resource(const std::function<void(const KeyResource&)>& fn) const
{
    const unsigned char* e = data_.data() + res_off_;
    for (u32 i = 0; i < res_count_; ++i, e += key_resource_entry_size) {
        KeyResource r;
        std::memcpy(r.resref, e, 8);
        r.resref[8] = '\0';
        r.type = le16(e + 8);
        r.locator = le32(e + 10);
        r.index = i;
        fn(r);
    }
}

} // namespace bif
