#include "support/options.h"

#include "support/text.h"

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <stdexcept>

namespace e2e {

namespace {
std::map<std::string, std::string>& options()
{
    static std::map<std::string, std::string> all;
    return all;
}
} // namespace

std::vector<std::string> take_options(const std::vector<std::string>& arguments)
{
    std::vector<std::string> rest;
    for (const std::string& a : arguments) {
        auto equals = a.find('=');
        if (a.rfind("--", 0) == 0 && a.rfind("--dt-", 0) != 0 && equals != std::string::npos)
            options()[a.substr(2, equals - 2)] = a.substr(equals + 1);
        else
            rest.push_back(a);
    }
    return rest;
}

const std::string& option(const std::string& name)
{
    auto found = options().find(name);
    if (found == options().end()) throw std::runtime_error("missing option --" + name + "=...");
    return found->second;
}

bool has_option(const std::string& name)
{
    return options().count(name) != 0;
}

std::vector<std::string> take_command_line_options()
{
    int count = 0;
    LPWSTR* wide_arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(utf8(wide_arguments[i]));
    LocalFree(wide_arguments);
    return take_options(arguments);
}

} // namespace e2e
