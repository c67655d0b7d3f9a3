// The few operating-system services the device link needs, in the shape
// every platform's HID access can offer one to one: list the HID devices
// present, open one by its path, write one output report and read one input
// report, each within a time limit, and close it. One implementation is in
// use (HidTransport below): the system's HID services for the program, the
// simulated bus for the tests and the demo.
//
// Reports are laid out as on Windows: byte 0 is the report ID (0 for a
// device without numbered reports), the report's data follows, and a
// report's length counts that first byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A device opened for reports; each implementation derives its own.
struct HidDevice {
    virtual ~HidDevice() = default;
};

// A HID device as the system lists it.
struct HidDeviceInfo {
    std::string path;
    int vendorId = 0;
    int productId = 0;  // 16 bits
    // Lengths of the output and input reports, report ID included; valid
    // only when lengthsRead, since a device may not tell them.
    bool lengthsRead = false;
    int outputReportLength = 0;
    int inputReportLength = 0;
};

// Why the last call of this header failed.
enum class HidFailure {
    None,
    AccessDenied,  // the system refuses to open the device for this user
    NotConnected,  // the device has gone
    TimedOut,      // no report moved within the time limit
    BadLength,     // the report's length does not fit the device
    Other,
};

// The devices present now, in the system's order. Devices whose identity
// cannot be read are left out.
std::vector<HidDeviceInfo> HidEnumerate();

// Opens the device for writing and reading reports; nullptr on failure.
HidDevice* HidOpen(const std::string& path);
void HidClose(HidDevice* device);

// Writes one output report of length bytes; length when written, -1 when the
// write failed or did not finish within timeoutMs.
int HidWrite(HidDevice* device, const uint8_t* report, int length, int timeoutMs);

// Reads one input report into buffer (capacity bytes): its length when one
// came within timeoutMs, 0 when none came, -1 on failure. Each open device
// has its own queue of input reports, filled from when it was opened.
int HidRead(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs);

// The cause of the last failure of the calls above.
HidFailure HidLastFailure();

void HidPause(int milliseconds);

// One implementation of the calls above. A program chooses its own before
// the first call; until then no device is present.
struct HidTransport {
    std::vector<HidDeviceInfo> (*enumerate)();
    HidDevice* (*open)(const std::string& path);
    void (*close)(HidDevice* device);
    int (*write)(HidDevice* device, const uint8_t* report, int length, int timeoutMs);
    int (*read)(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs);
    HidFailure (*lastFailure)();
    void (*pause)(int milliseconds);
};
void UseHidTransport(const HidTransport* transport);
