// One HID device made as a USB gadget through configfs (libcomposite and
// usb_f_hid) on a UDC of the dummy host controller (dummy_hcd), so that the
// kernel's own USB host side (usbhid) finds a real USB device: it has a USB
// parent with idVendor and idProduct, as udev rules expect, and usbhid, not
// the caller, takes care of the report ID byte. The device's side reads and
// writes /dev/hidgN.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emu/presenter/kernel_device.h"

class GadgetDevice final : public KernelDevice {
public:
    // Made on dummy_udc.<udc>.
    GadgetDevice(const DeviceIdentity& identity, int udc);
    ~GadgetDevice() override;
    GadgetDevice(const GadgetDevice&) = delete;
    GadgetDevice& operator=(const GadgetDevice&) = delete;

    bool valid() const override { return fd_ >= 0; }
    int fd() const override { return fd_; }
    bool TakeOutput(std::vector<uint8_t>* report) override;
    bool SendInput(const uint8_t* data, int length) override;

private:
    bool Build(const DeviceIdentity& identity, int udc);
    void TakeDown();
    std::string root_;  // the gadget's folder in configfs
    int reportBytes_ = 8;
    int fd_ = -1;
};
