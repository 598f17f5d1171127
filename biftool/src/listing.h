#pragma once
// Listings of resources: the table made for reading (one archive), and the forms made for scripts,
// one resource a line, in a stable order of fields:
//   name  extension  type  size  archive  locator
// name: the file name extraction gives it, without the extension ("AR0100", "LOC00007~2");
// extension: "ARE", or "0x1234" for a type code without one; type: the type code, decimal;
// size: bytes of the extracted file (a tileset's TIS header included); archive: the archive's path
// as biftool opened it; locator: the archive entry's locator, decimal.
// "jsonl": one JSON object a line with these keys; "tsv": a header line with these names, then
// one line per resource, fields separated by tabs (a tab or line break in an archive's path is
// written as a blank; resource names never hold one).
#include <string>
#include <vector>

#include "archive.h"
#include "extract.h"
#include "text_sink.h"

namespace bif {

enum class ListFormat { table, jsonl, tsv };

// The table of one archive's chosen entries, and a total.
void print_table(const Selection& chosen, TextSink& out);

// The header line of the form (tsv only).
void print_record_header(ListFormat format, TextSink& out);
void print_records(const std::string& archive_path, const Selection& chosen, ListFormat format, TextSink& out);

// A JSON string literal.
std::string json_string(const std::string& s);

} // namespace bif
