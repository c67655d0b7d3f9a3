// One HID device of the Linux kernel made through /dev/uhid: the kernel
// shows it as /dev/hidrawN (and, for a keyboard, an input device) on the
// bus, ids and report descriptor given, and hands its output reports here.
#pragma once

#include <cstdint>
#include <vector>

#include "emu/presenter/kernel_device.h"

class UhidDevice final : public KernelDevice {
public:
    explicit UhidDevice(const DeviceIdentity& identity);
    ~UhidDevice() override;
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    bool valid() const override { return fd_ >= 0; }
    int fd() const override { return fd_; }
    // Other events than output reports are answered or passed over.
    bool TakeOutput(std::vector<uint8_t>* report) override;
    bool SendInput(const uint8_t* data, int length) override;

private:
    void Refuse(uint32_t type, uint32_t id);
    int fd_ = -1;
};
