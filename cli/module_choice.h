// Which modules a device verb runs on, and opening each for its transactions.
#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/console.h"
#include "device/hid_transport.h"

// The modules in change mode, in the system's order; interfaces with a
// module's ids whose reports do not fit the module's protocol are passed
// over.
std::vector<HidDeviceInfo> ListModules();

// The modules that options choose: every one with --all, the one at
// --device, else the only one found. EXIT_DONE, or the status once the
// fault is told.
int ChooseModules(const Options& options, Console& console, std::vector<HidDeviceInfo>* chosen);

// Opens the module for transactions; EXIT_DONE, or the status once the
// cause is told.
int OpenModule(const HidDeviceInfo& module, Console& console);

// Whether the module at path is still found.
bool ModuleStillThere(const std::string& path);
