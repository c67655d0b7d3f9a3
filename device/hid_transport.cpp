#include "device/hid_transport.h"

namespace {

// The transport before a program has chosen one: no device is present.
std::vector<HidDeviceInfo> ListNone() {
    return {};
}
HidDevice* OpenNone(const std::string&) {
    return nullptr;
}
void CloseNone(HidDevice*) {}
int WriteNone(HidDevice*, const uint8_t*, int, int) {
    return -1;
}
int ReadNone(HidDevice*, uint8_t*, int, int) {
    return -1;
}
HidFailure FailureNone() {
    return HidFailure::NotConnected;
}
void PauseNone(int) {}

const HidTransport NO_TRANSPORT = {ListNone, OpenNone,    CloseNone, WriteNone,
                                   ReadNone, FailureNone, PauseNone};

const HidTransport* g_transport = &NO_TRANSPORT;

}  // namespace

void UseHidTransport(const HidTransport* transport) {
    g_transport = transport;
}

std::vector<HidDeviceInfo> HidEnumerate() {
    return g_transport->enumerate();
}

HidDevice* HidOpen(const std::string& path) {
    return g_transport->open(path);
}

void HidClose(HidDevice* device) {
    g_transport->close(device);
}

int HidWrite(HidDevice* device, const uint8_t* report, int length, int timeoutMs) {
    return g_transport->write(device, report, length, timeoutMs);
}

int HidRead(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs) {
    return g_transport->read(device, buffer, capacity, timeoutMs);
}

HidFailure HidLastFailure() {
    return g_transport->lastFailure();
}

void HidPause(int milliseconds) {
    g_transport->pause(milliseconds);
}
