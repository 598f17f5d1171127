#include "tool.h"

#include "mode_support.h"
#include "modes.h"
#include "options.h"
#include "vintrel_version.h"

namespace bif {

namespace {

int run(const std::vector<std::string>& args, ToolIo& io)
{
    std::string problem;
    const Options o = parse_options(args, problem);
    if (!problem.empty()) {
        io.err << "biftool: " << problem << "\n"
               << usage_text() << "\"biftool --help\" lists the options, with examples.\n";
        return exit_usage;
    }
    switch (o.mode) {
    case Mode::help:
        io.out << help_text();
        return exit_done;
    case Mode::version:
        io.out << "biftool " VINTREL_VERSION_TEXT "\n";
        return exit_done;
    case Mode::list:
        return mode_list(o, io);
    case Mode::extract:
        return mode_extract(o, io);
    case Mode::list_archives:
        return mode_list_archives(o, io);
    case Mode::list_game:
        return mode_list_game(o, io);
    case Mode::extract_game:
        return mode_extract_game(o, io);
    }
    return exit_usage;
}

} // namespace

int run_tool(const std::vector<std::string>& args, ToolIo io)
{
    try {
        return run(args, io);
    } catch (const std::bad_alloc&) {
        io.out.flush();
        io.err << "biftool: out of memory\n";
    } catch (const std::exception& e) {
        io.out.flush();
        io.err << "biftool: " << e.what() << "\n";
    }
    return exit_unusable;
}

} // namespace bif
