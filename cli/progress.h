// The progress line of a table write or read: it counts the sixteen entries
// on standard error when that is a terminal, and shows nothing otherwise.
#pragma once

#include <string>

#include "cli/console.h"

class Progress {
public:
    // what: "writing", "verifying" or "reading"; path: the module's.
    Progress(Console& console, const std::string& what, const std::string& path);
    // Takes the line away again.
    ~Progress();

    void Count(int done);

private:
    Console& console_;
    bool shown_;
    std::string prefix_;
    size_t width_ = 0;
};
