// The devices of the simulated bus, kept in step with its bus file, as HID
// devices of the Linux kernel: each device present (a module in change
// mode, a foreign device) is made through /dev/uhid, or as a USB gadget,
// while its block is in the file, and goes when the block goes or the module leaves change mode.
// Every output report the kernel hands over goes to the simulated module,
// and the module's replies go back as input reports, so that each line of
// the file keeps its meaning; every report is recorded as the emulator
// behind the stand-ins records it (emu/standin/wire_record.h).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "device/hid_transport.h"
#include "emu/presenter/kernel_device.h"

class Presenter {
public:
    // As USB gadgets on the dummy host controller's UDCs when usb.
    explicit Presenter(bool usb) : usb_(usb) {}
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // The bus as its file says now: devices made and taken away. The
    // number of devices presented.
    int Follow();
    // Waits up to waitMs for reports from the kernel and serves them, and
    // the replies due.
    void Serve(int waitMs);

private:
    struct Written {
        std::vector<uint8_t> report;
        int64_t seenAtMs;
    };
    struct Presented {
        std::unique_ptr<KernelDevice> kernel;
        int udc = -1;                 // the UDC of a gadget
        HidDevice* handle = nullptr;  // nullptr: the system keeps it to itself
        int vendorId = 0;
        int productId = 0;
        std::deque<Written> written;
    };

    void Present(const HidDeviceInfo& info);
    std::unique_ptr<KernelDevice> Make(const DeviceIdentity& identity, int* udc);
    void Withdraw(const std::string& path, const char* why);
    void TakeOutputs(Presented* device);
    void HandWrites(Presented* device);
    // False once the device has left the bus.
    bool PassReplies(Presented* device);

    std::map<std::string, Presented> presented_;
    std::set<std::string> refused_;  // said once each
    int serial_ = 0;
    bool usb_;
};
