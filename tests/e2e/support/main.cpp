// Runs a driver's test cases with the options the build passes taken out of the command line.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "support/options.h"

int main()
{
    std::vector<std::string> rest = e2e::take_command_line_options();
    std::vector<const char*> argv;
    for (const std::string& a : rest) argv.push_back(a.c_str());
    doctest::Context context(static_cast<int>(argv.size()), argv.data());
    return context.run();
}
