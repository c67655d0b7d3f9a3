// The emulated bus behind the stand-in setupapi.dll and hid.dll: the bus
// file that USBKBD_SIM names (usbkbd-sim.txt in the current folder when
// unset) kept in step as the demo keeps it, and for each device present a
// message-mode named pipe that the program opens, writes, reads and closes
// with the system's own calls. It runs on threads of the program's process,
// started with its first device search, and ends with the process: a
// program that links it in rather than loading it in a DLL ends with
// TerminateProcess, which ends those threads before their static objects go.
#pragma once

#include <mutex>
#include <string>
#include <vector>

// Starts the emulator once; later calls do nothing.
void StartPipeEmulator();

// The pipes of the devices present now, in the bus's order, the bus file
// read anew; every one of them is ready to be opened when this returns.
std::vector<std::string> ListDevicePipes();

// Taken around every use of the simulated bus: its threads take turns.
std::mutex& BusLock();
