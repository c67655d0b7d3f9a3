// What a simulated bus inside a Windows program's process needs of the
// system: the name of its bus file and the device-change notice that the
// system gives the program's windows when a device comes or goes.
#pragma once

#include <string>

// The bus file that USBKBD_SIM names, in code page 949, else usbkbd-sim.txt
// in the current folder.
std::string SimBusFilePath();

// Tells this process's top-level windows, as the system tells every one,
// that a device came or went.
void PostDeviceChangeNotice();
