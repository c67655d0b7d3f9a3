// One opening of a device pipe, served as the system's HID class driver
// serves a handle of its device:
// - a write must be the device's output report length, else it fails
//   (the pipe is disconnected under it);
// - a write lasts the device's write delay before the device has it, and
//   one that the device never takes stays pending until its caller gives up;
// - each input report of the device is queued for every opening, the newest
//   32 kept, and handed to the caller's reads one at a time;
// - once the device is unplugged, pending and later I/O fail.
// An opening of a device that the system keeps to itself (opened without
// read and write access) only waits to be closed.
#pragma once

#include <windows.h>

#include <string>

#include "device/hid_transport.h"

// Serves the connected pipe instance until its caller closes it or the
// device goes; then disconnects and closes it.
void ServePipeInstance(HANDLE pipe, const std::string& busPath, bool opensForReports);

// For the bus's overflow hook, under the bus lock: drops the report that the
// opening of this handle holds in its pipe, the oldest of its reports, so
// that its queue keeps the newest; false when it holds none.
bool MakeRoomBeside(const HidDevice* handle);
