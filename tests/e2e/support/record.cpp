#include "support/record.h"

#include "support/files.h"

#include <sstream>

namespace e2e {

std::vector<Start> read_record(const std::string& path)
{
    std::vector<Start> starts;
    std::istringstream lines(read_file(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto first = line.find('\t');
        auto second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) continue;
        starts.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return starts;
}

} // namespace e2e
