// A device of the bus as the Linux kernel sees it, whichever way it is
// made: through /dev/uhid (uhid_device.h) or as a USB gadget on the
// dummy host controller (gadget_device.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DeviceIdentity {
    std::string name;
    std::string serial;
    int vendorId = 0;
    int productId = 0;
    std::vector<uint8_t> descriptor;  // the report descriptor
    int reportBytes = 8;              // the longest report, without a report ID
};

class KernelDevice {
public:
    virtual ~KernelDevice() = default;
    // Whether the kernel took the device.
    virtual bool valid() const = 0;
    // Readable when an output report may be waiting.
    virtual int fd() const = 0;
    // The next output report the kernel handed over, report ID byte first
    // (0 for unnumbered reports), into *report; false when none is waiting.
    virtual bool TakeOutput(std::vector<uint8_t>* report) = 0;
    // Hands an input report (without a report ID byte for unnumbered
    // reports) to the kernel.
    virtual bool SendInput(const uint8_t* data, int length) = 0;
};
