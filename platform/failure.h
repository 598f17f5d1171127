#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// A failure a handler may trap; one that no handler traps reaches the default failure report.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace platform
