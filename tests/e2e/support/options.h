#pragma once
// The `--name=value` options the build hands a driver (paths of the programs under test).
#include <string>
#include <vector>

namespace e2e {

// Takes the options out of the command line; returns what is left, for doctest.
std::vector<std::string> take_options(const std::vector<std::string>& arguments);
// The same, for this process's own command line.
std::vector<std::string> take_command_line_options();
// Fails the run if the build did not hand it in.
const std::string& option(const std::string& name);
bool has_option(const std::string& name);

} // namespace e2e
