// The demo program's bus: the simulated bus kept in a text file that people
// edit while the demo runs. The file is named by the environment variable
// USBKBD_SIM, else it is usbkbd-sim.txt in the current folder, and is made
// with one QX209 when missing. The bus is read from it at every search and
// transaction and written back when a module's words or mode change; an
// edit made from outside reaches the main window as a device-change notice.
#pragma once

// Before the main window exists: sets up the file, the bus and the watcher.
void StartDemoBus();
// After the main window is gone: stops the watcher.
void StopDemoBus();
