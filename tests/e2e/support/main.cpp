// Runs a driver's test cases with the options the build passes taken out of the command line.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "support/options.h"
#include "support/text.h"

#include <windows.h>
#include <shellapi.h>

int main()
{
    int count = 0;
    LPWSTR* wide_arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(e2e::utf8(wide_arguments[i]));
    LocalFree(wide_arguments);

    std::vector<std::string> rest = e2e::take_options(arguments);
    std::vector<const char*> argv;
    for (const std::string& a : rest) argv.push_back(a.c_str());
    doctest::Context context(static_cast<int>(argv.size()), argv.data());
    return context.run();
}
