#include "output.h"

#include <cctype>
#include <cstdio>
#include <random>
#include <vector>

#include "paths.h"

namespace bif {

namespace {
constexpr const char* temp_prefix = "~biftool-";
constexpr const char* temp_suffix = ".~part";
constexpr std::size_t temp_digits = 16;
} // namespace

std::string unwritable_folder(const std::string& shown, const std::string& why)
{
    return shown + ": cannot extract here: the folder cannot be written (" + why +
           "); copy the game, or the archive with its chitin.key, to a folder of your own (for example in "
           "Documents) and extract it there";
}

WriteFailure naming_failure(bool keep, bool taken, WriteFailure system)
{
    return keep && taken ? WriteFailure{"exists", false, true} : system;
}

void make_folders(const std::string& folder, const std::string& shown)
{
    // Up to the nearest folder that is there, then down again making each.
    std::vector<std::string> missing;
    for (std::string at = folder; !at.empty();) {
        const PathKind kind = path_kind(at);
        if (kind == PathKind::folder || kind == PathKind::unknown)
            break;
        if (kind == PathKind::other)
            throw Error(shown + ": cannot extract into it: " + at + " is not a folder");
        missing.push_back(at);
        const std::string up = paths::folder_of(at);
        at = up == at ? std::string() : up;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (const std::string why = make_folder(*it); !why.empty())
            throw Error(shown + ": cannot create the folder " + *it + ": " + why);
}

TemporaryNames::TemporaryNames(u64 seed) : state_(seed)
{
    if (state_ == 0) {
        std::random_device rd;
        state_ = (u64{rd()} << 32) ^ rd();
    }
}

std::string TemporaryNames::next()
{
    // splitmix64: distinct names from any seed.
    u64 z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    char digits[temp_digits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(z));
    return temp_prefix + std::string(digits) + temp_suffix;
}

bool TemporaryNames::matches(const std::string& name)
{
    const std::string prefix = temp_prefix, suffix = temp_suffix;
    if (name.size() != prefix.size() + temp_digits + suffix.size())
        return false;
    if (name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + temp_digits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

} // namespace bif
