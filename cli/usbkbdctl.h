// usbkbdctl: the command-line tool over the shared core. The platform's
// main converts the command line and the output and calls RunUsbkbdctl.
#pragma once

#include <vector>

#include "cli/console.h"

// Runs the command line (the arguments after the program's name) to its
// end and returns the exit status.
int RunUsbkbdctl(const std::vector<Argument>& arguments, Console& console,
                 const Surroundings& surroundings);
