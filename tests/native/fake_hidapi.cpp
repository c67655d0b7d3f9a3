#include "fake_hidapi.h"

#include <hidapi.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "device/hidraw_sysfs.h"

// What hid_open_path hands out.
struct hid_device_ {
    int interface;
    int plugSerial;  // of the plug-in it was opened on
    bool open;
    std::deque<std::vector<uint8_t>> queue;
};

namespace {

struct Slot {
    FakeInterface interface;
    bool present = true;
    int plugSerial = 0;
    int writesTaken = 0;
    std::vector<std::vector<uint8_t>> heldReplies;
};

// A folder of its own for the stand-in's sysfs, removed at the end.
struct SysfsFolder {
    SysfsFolder() {
        char pattern[] = "/tmp/usbkbd-fake-sysfs-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made != nullptr ? made : "";
    }
    ~SysfsFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

struct Fake {
    std::vector<Slot> slots;
    std::vector<std::unique_ptr<hid_device_>> handles;
    std::vector<FakeWrite> writes;
    std::vector<int> readTimeouts;
    FakeCounts counts;
    std::function<void()> onEnumerate;
};

Fake g_fake;
int g_initCalls = 0;

SysfsFolder& Sysfs() {
    static SysfsFolder folder;
    return folder;
}

void ClearSysfs() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(Sysfs().path, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

void WriteDescriptor(const FakeInterface& interface) {
    const std::string node = interface.path.substr(interface.path.rfind('/') + 1);
    const std::filesystem::path folder = std::filesystem::path(Sysfs().path) / node / "device";
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / "report_descriptor", std::ios::binary);
    file.write(reinterpret_cast<const char*>(interface.descriptor.data()),
               static_cast<std::streamsize>(interface.descriptor.size()));
}

hid_device_* KnownOpenHandle(hid_device* device) {
    for (auto& handle : g_fake.handles) {
        if (handle.get() == device && handle->open) return handle.get();
    }
    ++g_fake.counts.misuse;
    return nullptr;
}

bool Live(const hid_device_& handle) {
    const Slot& slot = g_fake.slots[handle.interface];
    return slot.present && slot.plugSerial == handle.plugSerial;
}

int SlotOfPath(const char* path) {
    for (size_t i = 0; i < g_fake.slots.size(); ++i) {
        if (g_fake.slots[i].interface.path == path) return static_cast<int>(i);
    }
    return -1;
}

void Deliver(int index, const std::vector<uint8_t>& report) {
    for (auto& handle : g_fake.handles) {
        if (handle->open && handle->interface == index && Live(*handle)) {
            handle->queue.push_back(report);
        }
    }
}

// The module's reply as hidraw delivers it: without report ID 0.
void Answer(int index, const uint8_t* data, size_t length) {
    Slot& slot = g_fake.slots[index];
    SimAnswer answer = SimTakeRequest(slot.interface.moduleState, data, static_cast<int>(length));
    if (!answer.replies || answer.reply.empty()) return;
    std::vector<uint8_t> report(answer.reply.begin() + 1, answer.reply.end());
    if (slot.interface.lateReplies > 0) {
        --slot.interface.lateReplies;
        slot.heldReplies.push_back(report);
        return;
    }
    Deliver(index, report);
}

void DeliverHeldReplies(int index) {
    Slot& slot = g_fake.slots[index];
    for (const auto& report : slot.heldReplies) Deliver(index, report);
    slot.heldReplies.clear();
}

int TakeQueued(hid_device_* handle, unsigned char* data, size_t length) {
    std::vector<uint8_t> report = handle->queue.front();
    handle->queue.pop_front();
    const size_t copied = report.size() < length ? report.size() : length;
    if (copied > 0) std::memcpy(data, report.data(), copied);
    return static_cast<int>(copied);
}

hid_device_info* NewInfo(const FakeInterface& interface) {
    auto* info = static_cast<hid_device_info*>(calloc(1, sizeof(hid_device_info)));
    info->path = strdup(interface.path.c_str());
    info->vendor_id = static_cast<unsigned short>(interface.vendorId);
    info->product_id = static_cast<unsigned short>(interface.productId);
    return info;
}

}  // namespace

// ----- the test's side -----

void FakeHidReset() {
    g_fake = Fake{};
    ClearSysfs();
    SetHidrawSysfsRoot(Sysfs().path);
}

int FakeHidAdd(const FakeInterface& interface) {
    Slot slot;
    slot.interface = interface;
    g_fake.slots.push_back(slot);
    if (interface.descriptorReadable) WriteDescriptor(interface);
    return static_cast<int>(g_fake.slots.size()) - 1;
}

FakeInterface& FakeHidInterface(int index) {
    return g_fake.slots[index].interface;
}

void FakeHidUnplug(int index) {
    g_fake.slots[index].present = false;
}

void FakeHidReplug(int index) {
    Slot& slot = g_fake.slots[index];
    if (slot.present) return;
    slot.present = true;
    ++slot.plugSerial;
}

void FakeHidQueueInput(int index, const std::vector<uint8_t>& report) {
    Deliver(index, report);
}

int FakeHidQueued(int index) {
    int queued = 0;
    for (const auto& handle : g_fake.handles) {
        if (handle->open && handle->interface == index) {
            queued += static_cast<int>(handle->queue.size());
        }
    }
    return queued;
}

void FakeHidOnEnumerate(std::function<void()> hook) {
    g_fake.onEnumerate = std::move(hook);
}

const std::vector<FakeWrite>& FakeHidWrites() {
    return g_fake.writes;
}

const std::vector<int>& FakeHidReadTimeouts() {
    return g_fake.readTimeouts;
}

FakeCounts FakeHidCount() {
    FakeCounts counts = g_fake.counts;
    counts.openHandles = 0;
    for (const auto& handle : g_fake.handles) counts.openHandles += handle->open ? 1 : 0;
    return counts;
}

int FakeHidInitCalls() {
    return g_initCalls;
}

FakeInterface FakeModule(const std::string& path, int productId) {
    FakeInterface interface;
    interface.path = path;
    interface.vendorId = 0x10F7;
    interface.productId = productId;
    interface.descriptor = ModuleDescriptor();
    interface.module = true;
    interface.moduleState = SimModule(productId);
    return interface;
}

// ----- hidapi -----

extern "C" {

int hid_init(void) {
    ++g_initCalls;
    return 0;
}

int hid_exit(void) {
    return 0;
}

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
    if (g_fake.onEnumerate) g_fake.onEnumerate();
    ++g_fake.counts.enumerations;
    if (vendor_id != 0 || product_id != 0) ++g_fake.counts.misuse;
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    for (const Slot& slot : g_fake.slots) {
        if (!slot.present) continue;
        *next = NewInfo(slot.interface);
        next = &(*next)->next;
    }
    if (first != nullptr) ++g_fake.counts.unfreedLists;
    return first;
}

void hid_free_enumeration(hid_device_info* devices) {
    if (devices != nullptr) --g_fake.counts.unfreedLists;
    while (devices != nullptr) {
        hid_device_info* next = devices->next;
        free(devices->path);
        free(devices);
        devices = next;
    }
}

hid_device* hid_open_path(const char* path) {
    const int index = SlotOfPath(path);
    if (index < 0 || !g_fake.slots[index].present) {
        errno = ENOENT;
        return nullptr;
    }
    if (g_fake.slots[index].interface.openErrno != 0) {
        errno = g_fake.slots[index].interface.openErrno;
        return nullptr;
    }
    ++g_fake.counts.opens;
    g_fake.handles.push_back(std::make_unique<hid_device_>(
        hid_device_{index, g_fake.slots[index].plugSerial, true, {}}));
    return g_fake.handles.back().get();
}

void hid_close(hid_device* device) {
    hid_device_* handle = KnownOpenHandle(device);
    if (handle == nullptr) return;
    handle->open = false;
    handle->queue.clear();
}

int hid_write(hid_device* device, const unsigned char* data, size_t length) {
    hid_device_* handle = KnownOpenHandle(device);
    if (handle == nullptr) return -1;
    Slot& slot = g_fake.slots[handle->interface];
    if (Live(*handle) && slot.writesTaken == slot.interface.vanishAfterWrites) {
        slot.interface.vanishAfterWrites = -1;
        FakeHidUnplug(handle->interface);
    }
    if (!Live(*handle)) {
        errno = ENODEV;
        return -1;
    }
    ++slot.writesTaken;
    g_fake.writes.push_back(
        FakeWrite{slot.interface.path, std::vector<uint8_t>(data, data + length)});
    if (slot.interface.module) Answer(handle->interface, data, length);
    return static_cast<int>(length);
}

int hid_read_timeout(hid_device* device, unsigned char* data, size_t length, int milliseconds) {
    g_fake.readTimeouts.push_back(milliseconds);
    hid_device_* handle = KnownOpenHandle(device);
    if (handle == nullptr) return -1;
    if (!Live(*handle)) return -1;
    if (g_fake.slots[handle->interface].interface.chatty) {
        handle->queue.push_back(std::vector<uint8_t>(8, 0xCC));
    }
    if (!handle->queue.empty()) return TakeQueued(handle, data, length);
    DeliverHeldReplies(handle->interface);
    return 0;
}

}  // extern "C"
