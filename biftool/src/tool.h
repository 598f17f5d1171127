#pragma once
// The command line of biftool, independent of how the process was started (main.cpp adapts the
// Windows and POSIX entry points to it).
#include <string>
#include <vector>

#include "output.h"
#include "text_sink.h"

namespace bif {

struct ToolIo {
    TextSink& out;
    TextSink& err;
    bool terminal = false; // stdout is an interactive terminal: show a live progress line
    OutputOptions output{};
};

// args excludes the program name; all strings are UTF-8. Returns the exit code: 0 everything
// listed or written, 1 usage error, 2 archive or index unusable or nothing written, 3 some
// resources damaged or not written (or, of several archives, some unusable or missing).
int run_tool(const std::vector<std::string>& args, ToolIo io);

} // namespace bif
