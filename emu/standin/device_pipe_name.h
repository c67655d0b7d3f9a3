// The named pipe that stands for one device of the emulated bus. Its name is
// the device path that the stand-in setupapi.dll lists, and it carries what
// the stand-in hid.dll tells of the device: its ids and report lengths, and
// whether each can be had at all.
#pragma once

#include <string>

#include "emu/sim_module.h"

struct DevicePipeFacts {
    int vendorId = 0;
    int productId = 0;
    int outputLength = 0;
    int inputLength = 0;
    bool identityReadable = false;
    bool capsReadable = false;
    bool opensForReports = false;
};

// "\\.\pipe\usbkbd-emu-<process id>\hid#vid_10f7&pid_0209#demo0#o9-i9-n1-c1-a1":
// the device's bus path, its facts after the last "#".
std::string DevicePipeName(const SimDevice& device);

// The facts of a device pipe, from its name as CreateFileA takes it or as
// GetFileInformationByHandleEx gives it ("\usbkbd-emu-<process id>\..."); false
// for any other name.
bool ReadDevicePipeName(const std::string& name, DevicePipeFacts* facts);
