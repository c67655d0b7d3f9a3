// The report descriptor a device of the bus shows the system: a module's
// (and a foreign device's) one vendor-defined input and output report of
// the block's lengths without a report ID, or, for a device the system
// keeps to itself ("opens 0"), a keyboard's collection, whose reports do
// not fit the module's protocol.
#pragma once

#include <cstdint>
#include <vector>

#include "emu/sim_module.h"

std::vector<uint8_t> ReportDescriptorOf(const SimDevice& device);
