// One HID device of the Linux kernel made through /dev/uhid: the kernel
// shows it as /dev/hidrawN (and, for a keyboard, an input device) on the
// bus, ids and report descriptor given, and hands its output reports here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UhidIdentity {
    std::string name;
    std::string uniq;  // the serial number the system reports
    int vendorId = 0;
    int productId = 0;
    std::vector<uint8_t> descriptor;
};

class UhidDevice {
public:
    // Creates the device; valid() tells whether the kernel took it.
    explicit UhidDevice(const UhidIdentity& identity);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // The next output report the kernel handed over, report ID byte first
    // (0 for unnumbered reports), into *report; false when none is waiting.
    // Other events are answered or passed over.
    bool TakeOutput(std::vector<uint8_t>* report);
    // Hands an input report (without a report ID byte for unnumbered
    // reports) to the kernel.
    bool SendInput(const uint8_t* data, int length);

private:
    void Refuse(uint32_t type, uint32_t id);
    int fd_ = -1;
};
