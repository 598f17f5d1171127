#pragma once
// A throw-away game folder: chitin.key at the top, the BIF files in data\ beside a copy of
// Vintrel.exe and the recording stand-in for biftool.exe.
#include "support/files.h"

#include <string>

namespace e2e {

class Game {
public:
    // `name` becomes part of the folder's path (blanks and non-ASCII welcome).
    explicit Game(const std::string& name);

    const std::string& data() const { return data_; }
    std::string vintrel() const { return join(data_, "Vintrel.exe"); }
    std::string tool() const { return join(data_, "biftool.exe"); }
    // Where the stand-in records each start.
    std::string record() const { return join(data_, "biftool-record.txt"); }
    // A working folder that is not the program's.
    const std::string& elsewhere() const { return elsewhere_; }

    void add_file(const std::string& name);

private:
    TempFolder root_;
    std::string data_;
    std::string elsewhere_;
};

} // namespace e2e
