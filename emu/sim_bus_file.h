// The text form of a simulated bus, as the demo program keeps it in a file
// that people edit while it runs. One block per device, in enumeration
// order; a block starts at its "device" line and runs to the next one:
//
//   device 10F7:0209   # vendor:product in hex
//   mode change        # change: presents the ids above; keyboard: not found
//   firmware 12        # version byte, hex
//   silent 0           # 1: takes every request and never replies
//   fail -1            # table index 0..15 whose write-key and read-key get no reply; -1: none
//   stuck -1           # table index 0..15 whose write-key is answered but not kept; -1: none
//   reports 9 9        # output and input report lengths, with the report ID byte
//   delay 0            # milliseconds from each request to its reply
//   write-delay 0      # milliseconds each write takes before the device has it
//   opens 1            # 0: kept by the system to itself, not opened for reports
//   caps 1             # 0: its report lengths cannot be had
//   keys 0000 ... 0000 # the sixteen key code words the module keeps, hex
//
// "#" starts a comment; blank lines are ignored; a line left out of a block
// keeps the value of a fresh SimDevice, but for "delay", which is 0. A device is a module (speaks
// the protocol) when it is 10F7:0206 or 10F7:0209.
#pragma once

#include <string>
#include <vector>

#include "emu/sim_module.h"

// What a bus text describes: the devices whose blocks read without fault,
// in order, and one message per line that did not ("line 3: ..."). A fault
// leaves the whole block of its line out.
struct SimBusText {
    std::vector<SimDevice> devices;
    std::vector<std::string> problems;
};

SimBusText ParseSimBus(const std::string& text);

// One device's block, ended by a line break: every line written out, but
// "stuck", "delay", "write-delay", "opens" and "caps" only when they differ
// from a block that leaves them out.
std::string FormatSimDevice(const SimDevice& device);

// Sets the "mode" and "keys" lines of the block that describes the device
// with device.path to the device's mode and words, adding the lines when the
// block has none; everything else, comments included, stays as it was.
// False, and text untouched, when no block describes that device.
bool UpdateSimBusText(std::string* text, const SimDevice& device);
