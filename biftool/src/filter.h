#pragma once
// Choosing resources: by type (an extension such as "2DA" or a type code) and by name pattern
// (case-insensitive wildcards). Types are alternatives, patterns are alternatives, and a resource
// must satisfy both kinds where both are given. Every mode lists and extracts through one.
#include <string>
#include <vector>

#include "common.h"

namespace bif {

class Filter {
public:
    // "2DA", "ids", "0x3F4", "1012", or several of them separated by commas. False, and `problem`
    // set, for a word that names no type.
    bool add_types(const std::string& list, std::string& problem);
    // '*' stands for any run of characters, '?' for one. A pattern with a dot is matched against
    // the file name ("AR0100.ARE"), one without against the name before the extension.
    void add_name(const std::string& pattern) { patterns_.push_back(pattern); }

    bool empty() const { return types_.empty() && patterns_.empty(); }
    // `file_name` is "STEM.EXT" as extraction writes it; `type` the resource's type code.
    bool matches(const std::string& file_name, u16 type) const;

private:
    std::vector<u16> types_;
    std::vector<std::string> patterns_;
};

// Wildcard match ignoring ASCII case.
bool wildcard_match(std::string_view pattern, std::string_view text);

} // namespace bif
