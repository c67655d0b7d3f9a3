// The verbs that talk to modules: list, read, write and reset. Each runs on
// the transport chosen before it and returns the exit status.
#pragma once

#include "cli/arguments.h"
#include "cli/console.h"

int RunList(const Options& options, Console& console);
int RunRead(const Options& options, Console& console);
int RunWrite(const Options& options, Console& console);
int RunReset(const Options& options, Console& console);
