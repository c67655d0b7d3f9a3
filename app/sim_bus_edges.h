// What a simulated bus inside this program's process needs of Windows: the
// name of its bus file and the device-change notice to the main window.
#pragma once

#include <string>

// The bus file that USBKBD_SIM names, in code page 949, else usbkbd-sim.txt
// in the current folder.
std::string SimBusFilePath();

// Tells this process's main window what the system tells it when a device
// comes or goes; nothing when the window is not there.
void PostDeviceChangeNotice();
