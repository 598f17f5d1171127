#pragma once
// The modes of the command line, each run by a function of its own on the parsed options. They
// share three pieces: choosing resources (filter.h), finding archives and their index (locate.h and
// the archive's own index lookup) and writing them (extract.h).
#include "options.h"
#include "tool.h"

namespace bif {

int mode_list(const Options& o, ToolIo& io);          // biftool ARCHIVE...
int mode_extract(const Options& o, ToolIo& io);       // biftool -extr ARCHIVE...
int mode_list_archives(const Options& o, ToolIo& io); // biftool --archives
int mode_list_game(const Options& o, ToolIo& io);     // biftool --game
int mode_extract_game(const Options& o, ToolIo& io);  // biftool --game -extr

} // namespace bif
