// The verbs that work on ".kbd" files alone: show, set and clear.
#pragma once

#include "cli/arguments.h"
#include "cli/console.h"

int RunShow(const Options& options, Console& console);
int RunSet(const Options& options, Console& console);
int RunClear(const Options& options, Console& console);
