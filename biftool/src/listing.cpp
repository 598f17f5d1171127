#include "listing.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace bif {

void print_table(const Selection& chosen, TextSink& out)
{
    std::size_t width = 12;
    for (std::size_t i = 0; i < chosen.size(); ++i)
        width = std::max(width, chosen.name(i).size());
    char line[512];
    std::snprintf(line, sizeof line, "%-*s  %-6s  %12s  %6s\n", static_cast<int>(width), "Name", "Type", "Size",
                  "Tiles");
    out << line;
    u64 total = 0;
    std::size_t damaged = 0;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Entry& e = chosen.entry(i);
        const std::string name = chosen.name(i);
        out << name;
        for (std::size_t k = name.size(); k < width; ++k)
            out << ' ';
        std::snprintf(line, sizeof line, "  %-6s  %12" PRIu64, hex16(chosen.type(i)).c_str(), e.output_size());
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
    out << "Total: " << chosen.size() << (chosen.size() == 1 ? " resource, " : " resources, ") << total << " bytes";
    if (damaged)
        out << " (" << damaged << " damaged, not counted)";
    out << '\n';
}

std::string json_string(const std::string& s)
{
    std::string j = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            j += '\\';
            j += static_cast<char>(c);
        } else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            j += b;
        } else {
            j += static_cast<char>(c);
        }
    }
    return j + '"';
}

void print_record_header(ListFormat format, TextSink& out)
{
    if (format == ListFormat::tsv)
        out << "name\textension\ttype\tsize\tarchive\tlocator\n";
}

void print_records(const std::string& archive_path, const Selection& chosen, ListFormat format, TextSink& out)
{
    const std::string path_json = json_string(archive_path);
    std::string path_tsv = archive_path;
    std::replace_if(
        path_tsv.begin(), path_tsv.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    std::string line;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Entry& e = chosen.entry(i);
        const std::string name = chosen.name(i);
        const std::size_t dot = name.rfind('.');
        const std::string stem = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot + 1);
        const std::string size = std::to_string(e.output_size()), type = std::to_string(chosen.type(i)),
                          locator = std::to_string(e.locator);
        if (format == ListFormat::jsonl)
            line = "{\"name\":" + json_string(stem) + ",\"extension\":" + json_string(ext) + ",\"type\":" + type +
                   ",\"size\":" + size + ",\"archive\":" + path_json + ",\"locator\":" + locator + "}\n";
        else
            line = stem + '\t' + ext + '\t' + type + '\t' + size + '\t' + path_tsv + '\t' + locator + '\n';
        out << line;
    }
}

} // namespace bif
