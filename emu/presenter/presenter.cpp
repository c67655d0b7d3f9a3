#include "emu/presenter/presenter.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "emu/presenter/gadget_device.h"
#include "emu/presenter/report_descriptors.h"
#include "emu/presenter/uhid_device.h"
#include "emu/sim_bus.h"
#include "emu/standin/wire_record.h"

namespace {

// Room for the longest report a bus file may give, and one byte more.
constexpr int REPORT_ROOM = 256;

const SimDevice* DeviceAt(const std::string& path) {
    for (const SimDevice& device : SimDevices()) {
        if (device.path == path) return &device;
    }
    return nullptr;
}

}  // namespace

Presenter::~Presenter() {
    while (!presented_.empty()) Withdraw(presented_.begin()->first, "closed");
}

int Presenter::Follow() {
    std::set<std::string> listed;
    for (const HidDeviceInfo& info : SimTransport().enumerate()) {
        listed.insert(info.path);
        if (presented_.count(info.path) == 0) Present(info);
    }
    std::vector<std::string> gone;
    for (const auto& entry : presented_) {
        if (listed.count(entry.first) == 0) gone.push_back(entry.first);
    }
    for (const std::string& path : gone) Withdraw(path, "gone");
    return static_cast<int>(presented_.size());
}

void Presenter::Present(const HidDeviceInfo& info) {
    const SimDevice* device = DeviceAt(info.path);
    if (device == nullptr) return;
    DeviceIdentity identity;
    char name[64];
    std::snprintf(name, sizeof name, "usbkbd simulated %04X:%04X", info.vendorId, info.productId);
    identity.name = name;
    identity.serial = "sim" + std::to_string(++serial_);
    identity.vendorId = info.vendorId;
    identity.productId = info.productId;
    identity.descriptor = ReportDescriptorOf(*device);
    identity.reportBytes = std::max(device->inputLength, device->outputLength) - 1;
    Presented presented;
    presented.kernel = Make(identity, &presented.udc);
    if (!presented.kernel->valid()) {
        if (refused_.insert(info.path).second) {
            std::fprintf(stderr, "usbkbd_presenter: the kernel refused %s\n", name);
        }
        return;
    }
    presented.vendorId = info.vendorId;
    presented.productId = info.productId;
    if (device->opensForReports) {
        presented.handle = SimTransport().open(info.path);
        RecordOpening(info.vendorId, info.productId, nullptr);
    }
    presented_[info.path] = std::move(presented);
}

// A gadget takes the first UDC that no other gadget of the bus holds.
std::unique_ptr<KernelDevice> Presenter::Make(const DeviceIdentity& identity, int* udc) {
    if (!usb_) return std::make_unique<UhidDevice>(identity);
    std::set<int> held;
    for (const auto& entry : presented_) held.insert(entry.second.udc);
    for (*udc = 0; held.count(*udc) > 0; ++*udc) {
    }
    return std::make_unique<GadgetDevice>(identity, *udc);
}

void Presenter::Withdraw(const std::string& path, const char* why) {
    Presented& device = presented_[path];
    if (device.handle != nullptr) {
        SimTransport().close(device.handle);
        RecordOpening(device.vendorId, device.productId, why);
    }
    presented_.erase(path);
}

void Presenter::TakeOutputs(Presented* device) {
    std::vector<uint8_t> report;
    while (device->kernel->TakeOutput(&report)) {
        // A keyboard's LED reports have nobody to go to.
        if (device->handle != nullptr) device->written.push_back({report, SimNowMs()});
    }
}

// A report reaches the module once its write has lasted what the module
// takes ("write-delay"); the kernel took it from the writer at once.
void Presenter::HandWrites(Presented* device) {
    const SimDevice* behind = SimDeviceBehind(device->handle);
    while (behind != nullptr && !device->written.empty()) {
        const Written& next = device->written.front();
        if (SimNowMs() - next.seenAtMs < behind->writeDelayMs) return;
        int length = static_cast<int>(next.report.size());
        if (SimTakeWrite(device->handle, next.report.data(), length) == length) {
            RecordReport(WireDirection::ToDevice, device->vendorId, device->productId,
                         next.report.data(), length);
        }
        device->written.pop_front();
        behind = SimDeviceBehind(device->handle);
    }
}

// Unnumbered input reports go to the kernel without the report ID byte.
bool Presenter::PassReplies(Presented* device) {
    if (device->handle == nullptr) return true;
    uint8_t report[REPORT_ROOM];
    int length = 0;
    while ((length = SimTakeQueued(device->handle, report, REPORT_ROOM)) > 0) {
        RecordReport(WireDirection::ToReader, device->vendorId, device->productId, report, length);
        device->kernel->SendInput(report + 1, length - 1);
    }
    return length == 0;
}

void Presenter::Serve(int waitMs) {
    std::vector<pollfd> waiting;
    for (const auto& entry : presented_) waiting.push_back({entry.second.kernel->fd(), POLLIN, 0});
    poll(waiting.data(), waiting.size(), waitMs);
    std::vector<std::string> gone;
    for (auto& entry : presented_) {
        TakeOutputs(&entry.second);
        if (entry.second.handle != nullptr) HandWrites(&entry.second);
    }
    SimSendDueReplies();
    for (auto& entry : presented_) {
        if (!PassReplies(&entry.second)) gone.push_back(entry.first);
    }
    for (const std::string& path : gone) Withdraw(path, "gone");
}
