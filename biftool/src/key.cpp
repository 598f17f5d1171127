#include "key.h"

#include <algorithm>
#include <vector>

#include "fsutil.h"
#include "records.h"

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
    if (s.size() > ext.size() && fsx::iequals(s.substr(s.size() - ext.size()), ext))
        return s.substr(0, s.size() - ext.size());
    return {};
}

bool Key::names_match(std::string_view entry, std::string_view file)
{
    std::string_view b = base_name(entry);
    if (b.empty())
        return false;
    if (fsx::iequals(b, file))
        return true;
    // The original games keep compressed archives as "x.cbf" on disk while the index says "x.bif".
    std::string_view fstem = strip_ext(file, ".cbf"), bstem = strip_ext(b, ".bif");
    return !fstem.empty() && !bstem.empty() && fsx::iequals(fstem, bstem);
}

long long Key::find_bif(const std::string& archive_file_name) const
{
    for (u32 i = 0; i < bif_count_; ++i) {
        std::string_view name = bif_name(i);
        if (name.size() <= max_name && names_match(name, archive_file_name))
            return i;
    }
    return -1;
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
