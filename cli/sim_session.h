// --sim FILE and USBKBD_SIM: the simulated bus of a bus file (README, "The
// bus file"), on the real clock, its modules' words and modes saved back
// into the file after the verb, as the demo program does.
#pragma once

#include <string>

#include "cli/console.h"

// Builds the bus from the file; lines that do not read are told and their
// devices left out. "" when the file was read, else the fault.
std::string StartSimSession(const std::string& path, Console& console);

// Writes the words and modes that the verb changed back into the file.
void EndSimSession(Console& console);
