#include "device/sim_bus.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <thread>
#include <unordered_map>

namespace {

// The module's side of the protocol, kept apart from the program's own.
constexpr int MODULE_VENDOR = 0x10F7;
constexpr int QX206 = 0x206;
constexpr int QX209 = 0x209;
constexpr uint8_t FRAME_FIRST = 0x55;
constexpr uint8_t FRAME_SECOND = 0xAA;
constexpr int REQUEST_LENGTH = 9;
constexpr uint8_t COMMAND_WRITE_KEY = 0x41;
constexpr uint8_t COMMAND_READ_KEY = 0x42;
constexpr uint8_t COMMAND_RESET = 0x4F;

struct Reply {
    int64_t readyAtMs;
    std::vector<uint8_t> bytes;
    bool leavesChangeMode;
};

// The bus-side life of one device path: each plug-in is a new connection,
// and handles opened on an earlier one stay dead.
struct Connection {
    int serial = 0;
    bool live = false;
    bool seen = false;
    std::deque<Reply> replies;
};

struct OpenHandle {
    std::string path;
    int serial;
    bool overlapped;
};

struct PendingRead {
    bool active = false;
    HidHandle handle = HID_NO_HANDLE;
    uint8_t* buffer = nullptr;
    int length = 0;
};

struct DeviceSnapshot {
    std::vector<std::string> paths;
};

struct DetailRecord {
    std::string path;
};

struct Bus {
    std::vector<SimDevice> devices;
    std::unordered_map<std::string, int> positions;
    std::unordered_map<std::string, Connection> connections;
    std::unordered_map<HidHandle, OpenHandle> handles;
    HidHandle nextHandle = 1;
    std::vector<bool> events;  // signalled state of event i + 1
    HidEvent readEvent = HID_NO_EVENT;
    PendingRead read;
    std::vector<SimWrite> writes;
    SimCounters counters = {};
    int nextPath = 0;
    bool realClock = false;
    int64_t virtualMs = 0;
    std::chrono::steady_clock::time_point realEpoch;
    std::function<void(SimAccess)> accessHook;
    std::function<void(int)> changeHook;
};

Bus g_bus;

// ----- clock -----

int64_t NowMs() {
    if (!g_bus.realClock) return g_bus.virtualMs;
    auto elapsed = std::chrono::steady_clock::now() - g_bus.realEpoch;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void Advance(int64_t ms) {
    if (ms <= 0) return;
    if (g_bus.realClock) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else {
        g_bus.virtualMs += ms;
    }
}

void AdvanceTo(int64_t timeMs) {
    Advance(timeMs - NowMs());
}

// ----- devices and connections -----

bool Visible(const SimDevice& device) {
    return device.present && device.changeMode;
}

void SetLive(Connection& connection, bool live) {
    if (connection.live && !live) {
        ++connection.serial;
        connection.replies.clear();
    }
    connection.live = live;
}

// Brings the connections in line with the device list, which tests and
// hooks may have edited or replaced since the last look.
void SyncBus() {
    g_bus.positions.clear();
    for (auto& entry : g_bus.connections) entry.second.seen = false;
    for (int position = 0; position < static_cast<int>(g_bus.devices.size()); ++position) {
        const SimDevice& device = g_bus.devices[position];
        g_bus.positions[device.path] = position;
        Connection& connection = g_bus.connections[device.path];
        connection.seen = true;
        SetLive(connection, Visible(device));
    }
    for (auto& entry : g_bus.connections) {
        if (!entry.second.seen) SetLive(entry.second, false);
    }
}

int PositionOf(const std::string& path) {
    auto found = g_bus.positions.find(path);
    if (found != g_bus.positions.end() && found->second < static_cast<int>(g_bus.devices.size()) &&
        g_bus.devices[found->second].path == path) {
        return found->second;
    }
    for (int position = 0; position < static_cast<int>(g_bus.devices.size()); ++position) {
        if (g_bus.devices[position].path == path) return position;
    }
    return -1;
}

void Access(SimAccess access) {
    if (g_bus.accessHook) g_bus.accessHook(access);
    SyncBus();
}

void NotifyChange(int position) {
    if (g_bus.changeHook) g_bus.changeHook(position);
}

// ----- handles -----

OpenHandle* FindOpenHandle(HidHandle handle) {
    auto found = g_bus.handles.find(handle);
    if (found != g_bus.handles.end()) return &found->second;
    ++g_bus.counters.misuse;
    return nullptr;
}

// The device behind a handle while the connection it was opened on lasts.
int LivePosition(const OpenHandle& handle) {
    int position = PositionOf(handle.path);
    if (position < 0 || !Visible(g_bus.devices[position])) return -1;
    const Connection& connection = g_bus.connections[handle.path];
    return connection.live && connection.serial == handle.serial ? position : -1;
}

int LivePositionOf(HidHandle handle) {
    OpenHandle* open = FindOpenHandle(handle);
    return open == nullptr ? -1 : LivePosition(*open);
}

// ----- the module -----

Reply MakeReply(const SimDevice& device, const uint8_t* request) {
    Reply reply = {NowMs() + device.replyDelayMs, std::vector<uint8_t>(device.inputLength, 0),
                   request[3] == COMMAND_RESET};
    const int index = request[4];
    const bool readsKey = request[3] == COMMAND_READ_KEY && index < SIM_WORD_COUNT;
    const uint8_t body[] = {0x01,
                            static_cast<uint8_t>(device.version),
                            static_cast<uint8_t>(readsKey ? device.words[index] >> 8 : 0),
                            static_cast<uint8_t>(readsKey ? device.words[index] & 0xFF : 0),
                            0x00,
                            0xFF};
    for (int k = 0; k < 6 && k + 1 < device.inputLength; ++k) reply.bytes[k + 1] = body[k];
    return reply;
}

bool Answers(const SimDevice& device, const uint8_t* request, int length) {
    if (!device.module || device.silent || length < REQUEST_LENGTH) return false;
    if (request[1] != FRAME_FIRST || request[2] != FRAME_SECOND) return false;
    const bool keyCommand = request[3] == COMMAND_WRITE_KEY || request[3] == COMMAND_READ_KEY;
    return !(keyCommand && request[4] == device.unansweredIndex);
}

void TakeRequest(int position, const uint8_t* request, int length) {
    SimDevice& device = g_bus.devices[position];
    if (!Answers(device, request, length)) return;
    g_bus.connections[device.path].replies.push_back(MakeReply(device, request));
    if (request[3] == COMMAND_WRITE_KEY && request[4] < SIM_WORD_COUNT) {
        device.words[request[4]] = static_cast<uint16_t>(request[5] << 8 | request[6]);
        NotifyChange(position);
    }
}

// Hands the oldest reply of the device to the read, when it is due by untilMs.
bool Deliver(int position, uint8_t* buffer, int length, int64_t untilMs) {
    SimDevice& device = g_bus.devices[position];
    std::deque<Reply>& replies = g_bus.connections[device.path].replies;
    if (replies.empty() || replies.front().readyAtMs > untilMs) return false;
    AdvanceTo(replies.front().readyAtMs);
    Reply reply = replies.front();
    replies.pop_front();
    for (int i = 0; i < length && i < static_cast<int>(reply.bytes.size()); ++i) {
        buffer[i] = reply.bytes[i];
    }
    g_bus.events[g_bus.readEvent - 1] = true;
    if (reply.leavesChangeMode) {
        device.changeMode = false;
        SyncBus();
        NotifyChange(position);
    }
    return true;
}

bool KnownEvent(HidEvent event) {
    if (event >= 1 && event <= static_cast<HidEvent>(g_bus.events.size())) return true;
    ++g_bus.counters.misuse;
    return false;
}

}  // namespace

// ----- set-up for tests and the demo -----

void SimReset() {
    g_bus = Bus{};
}

SimDevice SimModule(int productId) {
    SimDevice device = SimForeignDevice(MODULE_VENDOR, productId);
    device.module = true;
    return device;
}

SimDevice SimForeignDevice(int vendorId, int productId) {
    SimDevice device;
    device.vendorId = vendorId;
    device.productId = productId;
    return device;
}

SimDevice SimDeviceFor(int vendorId, int productId) {
    bool module = vendorId == MODULE_VENDOR && (productId == QX206 || productId == QX209);
    return module ? SimModule(productId) : SimForeignDevice(vendorId, productId);
}

int SimAddDevice(SimDevice device) {
    if (device.path.empty()) {
        char path[64];
        snprintf(path, sizeof path, "\\\\?\\hid#vid_%04x&pid_%04x#sim%d", device.vendorId & 0xFFFF,
                 device.productId & 0xFFFF, g_bus.nextPath++);
        device.path = path;
    }
    g_bus.devices.push_back(device);
    return static_cast<int>(g_bus.devices.size()) - 1;
}

std::vector<SimDevice>& SimDevices() {
    return g_bus.devices;
}

void SimUnplug(int position) {
    g_bus.devices[position].present = false;
    SyncBus();
}

void SimReplug(int position) {
    g_bus.devices[position].present = true;
    SyncBus();
}

const std::vector<SimWrite>& SimWrites() {
    return g_bus.writes;
}

SimCounters SimCount() {
    SimCounters counters = g_bus.counters;
    counters.openHandles = static_cast<int>(g_bus.handles.size());
    return counters;
}

SimHandleState SimHandle(HidHandle handle) {
    SimHandleState state = {false, false, ""};
    auto found = g_bus.handles.find(handle);
    if (found == g_bus.handles.end()) return state;
    state.open = true;
    state.overlapped = found->second.overlapped;
    state.path = found->second.path;
    return state;
}

int64_t SimNowMs() {
    return NowMs();
}

void SimUseRealClock(bool real) {
    int64_t now = NowMs();
    g_bus.realClock = real;
    g_bus.virtualMs = now;
    g_bus.realEpoch = std::chrono::steady_clock::now() - std::chrono::milliseconds(now);
}

void SimSetAccessHook(std::function<void(SimAccess)> hook) {
    g_bus.accessHook = std::move(hook);
}

void SimSetChangeHook(std::function<void(int)> hook) {
    g_bus.changeHook = std::move(hook);
}

// ----- the platform layer -----

HidDeviceSet HidOpenDeviceSet() {
    Access(SIM_ACCESS_ENUMERATE);
    ++g_bus.counters.enumerations;
    ++g_bus.counters.openSets;
    auto* snapshot = new DeviceSnapshot;
    for (const SimDevice& device : g_bus.devices) {
        if (Visible(device)) snapshot->paths.push_back(device.path);
    }
    return snapshot;
}

HidInterfaceResult HidGetInterface(HidDeviceSet set, int index, HidInterface* detail) {
    const auto* snapshot = static_cast<DeviceSnapshot*>(set);
    if (index < 0 || index >= static_cast<int>(snapshot->paths.size())) return HID_INTERFACE_END;
    int position = PositionOf(snapshot->paths[index]);
    if (position >= 0 && !g_bus.devices[position].pathReadable) return HID_INTERFACE_UNREADABLE;
    ++g_bus.counters.openDetails;
    *detail = new DetailRecord{snapshot->paths[index]};
    return HID_INTERFACE_READY;
}

const char* HidInterfacePath(HidInterface detail) {
    return static_cast<DetailRecord*>(detail)->path.c_str();
}

void HidFreeInterface(HidInterface detail) {
    --g_bus.counters.openDetails;
    delete static_cast<DetailRecord*>(detail);
}

void HidCloseDeviceSet(HidDeviceSet set) {
    --g_bus.counters.openSets;
    delete static_cast<DeviceSnapshot*>(set);
}

HidHandle HidOpenDevice(const char* path, HidOpenMode mode) {
    int position = PositionOf(path);
    if (position < 0) return HID_NO_HANDLE;
    const SimDevice& device = g_bus.devices[position];
    const bool overlapped = mode == HID_OPEN_OVERLAPPED;
    if (!Visible(device) || !device.opens || (overlapped && !device.opensOverlapped)) {
        return HID_NO_HANDLE;
    }
    HidHandle handle = g_bus.nextHandle++;
    g_bus.handles[handle] = OpenHandle{path, g_bus.connections[path].serial, overlapped};
    return handle;
}

void HidCloseDevice(HidHandle device) {
    if (FindOpenHandle(device) == nullptr) return;
    if (g_bus.read.active && g_bus.read.handle == device) g_bus.read.active = false;
    g_bus.handles.erase(device);
}

int HidGetAttributes(HidHandle device, HidAttributes* attributes) {
    int position = LivePositionOf(device);
    if (position < 0 || !g_bus.devices[position].attributesReadable) return 0;
    attributes->vendorId = g_bus.devices[position].vendorId & 0xFFFF;
    attributes->productId = g_bus.devices[position].productId & 0xFFFF;
    return 1;
}

int HidGetReportLengths(HidHandle device, HidReportLengths* lengths) {
    int position = LivePositionOf(device);
    if (position < 0 || !g_bus.devices[position].capsReadable) return 0;
    lengths->output = g_bus.devices[position].outputLength;
    lengths->input = g_bus.devices[position].inputLength;
    return 1;
}

int HidWriteReport(HidHandle device, const uint8_t* report, int length) {
    Access(SIM_ACCESS_WRITE);
    OpenHandle* open = FindOpenHandle(device);
    if (open != nullptr && open->overlapped) ++g_bus.counters.misuse;
    int position = open == nullptr ? -1 : LivePosition(*open);
    if (position < 0 || length != g_bus.devices[position].outputLength) {
        ++g_bus.counters.failedWrites;
        return 0;
    }
    g_bus.writes.push_back(
        SimWrite{NowMs(), open->path, std::vector<uint8_t>(report, report + length)});
    TakeRequest(position, report, length);
    return 1;
}

HidEvent HidCreateReadEvent() {
    ++g_bus.counters.eventsCreated;
    g_bus.events.push_back(true);
    g_bus.readEvent = static_cast<HidEvent>(g_bus.events.size());
    return g_bus.readEvent;
}

HidReadStart HidStartRead(HidHandle device, uint8_t* buffer, int length) {
    Access(SIM_ACCESS_READ);
    OpenHandle* open = FindOpenHandle(device);
    if (open == nullptr) return HID_READ_FAILED;
    if (!open->overlapped || g_bus.read.active || g_bus.readEvent == HID_NO_EVENT) {
        ++g_bus.counters.misuse;
        return HID_READ_FAILED;
    }
    g_bus.events[g_bus.readEvent - 1] = false;
    int position = LivePosition(*open);
    if (position >= 0 &&
        (g_bus.devices[position].readsFail || length < g_bus.devices[position].inputLength)) {
        return HID_READ_FAILED;
    }
    if (position >= 0 && Deliver(position, buffer, length, NowMs())) return HID_READ_DONE;
    g_bus.read = PendingRead{true, device, buffer, length};
    return HID_READ_PENDING;
}

int HidWaitRead(HidEvent event, int timeoutMs) {
    if (!KnownEvent(event)) return 0;
    if (g_bus.events[event - 1]) return 1;
    const int64_t deadline = NowMs() + timeoutMs;
    auto handle = g_bus.handles.find(g_bus.read.handle);
    int position =
        g_bus.read.active && handle != g_bus.handles.end() ? LivePosition(handle->second) : -1;
    if (position >= 0 && Deliver(position, g_bus.read.buffer, g_bus.read.length, deadline)) {
        g_bus.read.active = false;
        return 1;
    }
    AdvanceTo(deadline);
    return 0;
}

void HidCancelRead(HidHandle device) {
    if (FindOpenHandle(device) == nullptr) return;
    if (!g_bus.read.active || g_bus.read.handle != device) return;
    g_bus.read.active = false;
    ++g_bus.counters.cancelledReads;
}

void HidResetEvent(HidEvent event) {
    if (KnownEvent(event)) g_bus.events[event - 1] = false;
}

void HidPause(int milliseconds) {
    Advance(milliseconds);
}
