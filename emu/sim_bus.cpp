#include "emu/sim_bus.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <thread>
#include <unordered_map>

namespace {

// An open handle of the simulated bus.
struct BusHandle final : HidDevice {
    BusHandle(std::string path, int serial, int64_t openedAtMs)
        : path(std::move(path)), serial(serial), openedAtMs(openedAtMs) {}
    std::string path;
    int serial;  // of the connection it was opened on
    int64_t openedAtMs;
    bool open = true;
    int room = SIM_QUEUE_LENGTH;  // reports its queue keeps
    std::deque<std::vector<uint8_t>> queue;
};

// A reply on its way from a module to the handles open on it.
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
    std::deque<Reply> inFlight;
};

struct Bus {
    std::vector<SimDevice> devices;
    std::unordered_map<std::string, Connection> connections;
    // Every handle ever opened, by its address, so that a closed one is
    // still known; and those open now.
    std::unordered_map<const HidDevice*, std::unique_ptr<BusHandle>> handles;
    std::vector<BusHandle*> openHandles;
    std::vector<SimWrite> writes;
    SimCounters counters = {};
    HidFailure lastFailure = HidFailure::None;
    int nextPath = 0;
    bool realClock = false;
    int64_t virtualMs = 0;
    std::chrono::steady_clock::time_point realEpoch;
    std::function<void(SimAccess)> accessHook;
    std::function<void(int)> changeHook;
    std::function<bool(const HidDevice*)> overflowHook;
};

Bus g_bus;

// ----- clock -----

int64_t NowMs() {
    if (!g_bus.realClock) return g_bus.virtualMs;
    auto elapsed = std::chrono::steady_clock::now() - g_bus.realEpoch;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void AdvanceTo(int64_t timeMs) {
    int64_t ms = timeMs - NowMs();
    if (ms <= 0) return;
    if (g_bus.realClock) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else {
        g_bus.virtualMs += ms;
    }
}

// ----- devices and connections -----

bool Visible(const SimDevice& device) {
    return device.present && device.changeMode;
}

void SetLive(Connection& connection, bool live) {
    if (connection.live && !live) {
        ++connection.serial;
        connection.inFlight.clear();
    }
    connection.live = live;
}

// Brings the connections in line with the device list, which tests and
// hooks may have edited or replaced since the last look.
void SyncBus() {
    for (auto& entry : g_bus.connections) entry.second.seen = false;
    for (const SimDevice& device : g_bus.devices) {
        Connection& connection = g_bus.connections[device.path];
        connection.seen = true;
        SetLive(connection, Visible(device));
    }
    for (auto& entry : g_bus.connections) {
        if (!entry.second.seen) SetLive(entry.second, false);
    }
}

int PositionOf(const std::string& path) {
    for (int position = 0; position < static_cast<int>(g_bus.devices.size()); ++position) {
        if (g_bus.devices[position].path == path) return position;
    }
    return -1;
}

void NotifyChange(int position) {
    if (g_bus.changeHook) g_bus.changeHook(position);
}

bool OnConnection(const BusHandle& handle, const std::string& path, int serial) {
    return handle.open && handle.path == path && handle.serial == serial;
}

// Hands the reply to every handle that was open on its connection when it
// was sent, and lets a module that was reset leave change mode.
void Send(const std::string& path, const Connection& connection, const Reply& reply) {
    for (BusHandle* handle : g_bus.openHandles) {
        if (!OnConnection(*handle, path, connection.serial)) continue;
        if (handle->openedAtMs > reply.readyAtMs) continue;
        handle->queue.push_back(reply.bytes);
        if (static_cast<int>(handle->queue.size()) <= handle->room) continue;
        bool roomMade = g_bus.overflowHook && g_bus.overflowHook(handle);
        if (!roomMade || static_cast<int>(handle->queue.size()) > handle->room) {
            handle->queue.pop_front();
        }
    }
    int position = PositionOf(path);
    if (reply.leavesChangeMode && position >= 0) {
        g_bus.devices[position].changeMode = false;
        SyncBus();
        NotifyChange(position);
    }
}

// Sends every reply that is due by now.
void SendDueReplies() {
    const int64_t now = NowMs();
    for (auto& entry : g_bus.connections) {
        std::deque<Reply>& inFlight = entry.second.inFlight;
        while (!inFlight.empty() && inFlight.front().readyAtMs <= now) {
            Reply reply = inFlight.front();
            inFlight.pop_front();
            Send(entry.first, entry.second, reply);
        }
    }
}

void Access(SimAccess access) {
    if (g_bus.accessHook) g_bus.accessHook(access);
    SyncBus();
    SendDueReplies();
}

HidFailure Fail(HidFailure failure) {
    g_bus.lastFailure = failure;
    return failure;
}

// ----- handles -----

// The handle at this address, open or closed; nullptr when there is none.
BusHandle* KnownHandle(const HidDevice* handle) {
    auto found = g_bus.handles.find(handle);
    return found == g_bus.handles.end() ? nullptr : found->second.get();
}

BusHandle* FindOpenHandle(const HidDevice* handle) {
    BusHandle* known = KnownHandle(handle);
    if (known != nullptr && known->open) return known;
    ++g_bus.counters.misuse;
    return nullptr;
}

// The position of the device behind a handle while the connection it was
// opened on lasts, else -1.
int LivePosition(const BusHandle& handle) {
    int position = PositionOf(handle.path);
    if (position < 0 || !Visible(g_bus.devices[position])) return -1;
    const Connection& connection = g_bus.connections[handle.path];
    return connection.live && connection.serial == handle.serial ? position : -1;
}

// The time the next reply for this handle is due; -1 when none is on its way.
int64_t NextReplyFor(const BusHandle& handle) {
    const Connection& connection = g_bus.connections[handle.path];
    if (connection.serial != handle.serial) return -1;
    for (const Reply& reply : connection.inFlight) {
        if (reply.readyAtMs >= handle.openedAtMs) return reply.readyAtMs;
    }
    return -1;
}

int TakeQueued(BusHandle* handle, uint8_t* buffer, int capacity) {
    std::vector<uint8_t> report = handle->queue.front();
    handle->queue.pop_front();
    int length =
        static_cast<int>(report.size()) < capacity ? static_cast<int>(report.size()) : capacity;
    for (int i = 0; i < length; ++i) buffer[i] = report[i];
    return length;
}

// Puts the reply among those on their way, in the order they are due.
void Dispatch(Connection& connection, const Reply& reply) {
    auto later = connection.inFlight.begin();
    while (later != connection.inFlight.end() && later->readyAtMs <= reply.readyAtMs) ++later;
    connection.inFlight.insert(later, reply);
}

// Waits until a report is queued for the handle or the deadline passes.
void WaitForReport(BusHandle* handle, int64_t deadline) {
    int64_t due = NextReplyFor(*handle);
    AdvanceTo(due >= 0 && due <= deadline ? due : deadline);
    SendDueReplies();
}

}  // namespace

// ----- set-up for tests and the demo -----

void SimReset() {
    g_bus = Bus{};
    UseHidTransport(&SimTransport());
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
    counters.openHandles = static_cast<int>(g_bus.openHandles.size());
    return counters;
}

SimHandleState SimHandle(const HidDevice* handle) {
    const BusHandle* known = KnownHandle(handle);
    if (known == nullptr) return SimHandleState{false, "", 0};
    return SimHandleState{known->open, known->path, static_cast<int>(known->queue.size())};
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

// ----- the transport -----

namespace {

std::vector<HidDeviceInfo> Enumerate() {
    Access(SIM_ACCESS_ENUMERATE);
    ++g_bus.counters.enumerations;
    std::vector<HidDeviceInfo> devices;
    for (const SimDevice& device : g_bus.devices) {
        if (!Visible(device) || !device.identityReadable) continue;
        HidDeviceInfo info;
        info.path = device.path;
        info.vendorId = device.vendorId & 0xFFFF;
        info.productId = device.productId & 0xFFFF;
        info.lengthsRead = device.capsReadable;
        info.outputReportLength = device.capsReadable ? device.outputLength : 0;
        info.inputReportLength = device.capsReadable ? device.inputLength : 0;
        devices.push_back(info);
    }
    return devices;
}

HidDevice* Open(const std::string& path) {
    int position = PositionOf(path);
    if (position < 0 || !Visible(g_bus.devices[position])) {
        Fail(HidFailure::NotConnected);
        return nullptr;
    }
    if (!g_bus.devices[position].opensForReports) {
        Fail(HidFailure::AccessDenied);
        return nullptr;
    }
    const int serial = g_bus.connections[path].serial;
    auto handle = std::make_unique<BusHandle>(path, serial, NowMs());
    BusHandle* opened = handle.get();
    g_bus.handles[opened] = std::move(handle);
    g_bus.openHandles.push_back(opened);
    return opened;
}

void Close(HidDevice* device) {
    BusHandle* handle = FindOpenHandle(device);
    if (handle == nullptr) return;
    handle->open = false;
    handle->queue.clear();
    auto& open = g_bus.openHandles;
    open.erase(std::find(open.begin(), open.end(), handle));
}

// The device behind an open, live handle that takes a report of this
// length; the failure told when there is none.
int WritablePosition(BusHandle* handle, int length) {
    int position = handle == nullptr ? -1 : LivePosition(*handle);
    if (position < 0 || length != g_bus.devices[position].outputLength) {
        ++g_bus.counters.failedWrites;
        Fail(position < 0 ? HidFailure::NotConnected : HidFailure::BadLength);
        return -1;
    }
    return position;
}

// The device takes the report once the write has lasted its time.
int Deliver(BusHandle* handle, int position, const uint8_t* report, int length) {
    SimDevice& target = g_bus.devices[position];
    g_bus.writes.push_back(
        SimWrite{NowMs(), handle->path, std::vector<uint8_t>(report, report + length)});
    SimAnswer answer = SimTakeRequest(target, report, length);
    if (answer.replies) {
        Reply reply = {NowMs() + target.replyDelayMs, answer.reply, answer.leavesChangeMode};
        Dispatch(g_bus.connections[target.path], reply);
    }
    if (answer.wordsChanged) NotifyChange(position);
    SendDueReplies();
    return length;
}

int Write(HidDevice* device, const uint8_t* report, int length, int timeoutMs) {
    Access(SIM_ACCESS_WRITE);
    BusHandle* handle = FindOpenHandle(device);
    int position = WritablePosition(handle, length);
    if (position < 0) return -1;
    const SimDevice& target = g_bus.devices[position];
    if (!target.takesReports || target.writeDelayMs > timeoutMs) {
        AdvanceTo(NowMs() + timeoutMs);
        ++g_bus.counters.timedOutWrites;
        Fail(HidFailure::TimedOut);
        return -1;
    }
    AdvanceTo(NowMs() + target.writeDelayMs);
    return Deliver(handle, position, report, length);
}

int Read(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs) {
    Access(SIM_ACCESS_READ);
    BusHandle* handle = FindOpenHandle(device);
    if (handle == nullptr) return -1;
    int position = LivePosition(*handle);
    if (position >= 0 && g_bus.devices[position].readsFail) {
        Fail(HidFailure::Other);
        return -1;
    }
    if (position >= 0 && capacity < g_bus.devices[position].inputLength) {
        Fail(HidFailure::BadLength);
        return -1;
    }
    // What was queued before the device went can still be read; then its
    // handles fail, as the system's do.
    if (handle->queue.empty() && position < 0) {
        Fail(HidFailure::NotConnected);
        return -1;
    }
    if (handle->queue.empty()) WaitForReport(handle, NowMs() + timeoutMs);
    if (!handle->queue.empty()) return TakeQueued(handle, buffer, capacity);
    if (timeoutMs > 0) ++g_bus.counters.timedOutReads;
    Fail(HidFailure::TimedOut);
    return 0;
}

HidFailure LastFailure() {
    return g_bus.lastFailure;
}

void Pause(int milliseconds) {
    AdvanceTo(NowMs() + milliseconds);
}

const HidTransport SIM_TRANSPORT = {Enumerate, Open, Close, Write, Read, LastFailure, Pause};

}  // namespace

const HidTransport& SimTransport() {
    return SIM_TRANSPORT;
}

// ----- serving the bus to other processes -----

int SimTakeWrite(HidDevice* device, const uint8_t* report, int length) {
    Access(SIM_ACCESS_WRITE);
    BusHandle* handle = FindOpenHandle(device);
    int position = WritablePosition(handle, length);
    return position < 0 ? -1 : Deliver(handle, position, report, length);
}

int SimTakeQueued(HidDevice* device, uint8_t* buffer, int capacity) {
    BusHandle* handle = FindOpenHandle(device);
    if (handle == nullptr) return -1;
    if (!handle->queue.empty()) return TakeQueued(handle, buffer, capacity);
    return LivePosition(*handle) < 0 ? -1 : 0;
}

void SimSendDueReplies() {
    SendDueReplies();
}

const SimDevice* SimDeviceBehind(const HidDevice* device) {
    const BusHandle* known = KnownHandle(device);
    if (known == nullptr || !known->open) return nullptr;
    int position = LivePosition(*known);
    return position < 0 ? nullptr : &g_bus.devices[position];
}

void SimSetQueueRoom(HidDevice* device, int room) {
    BusHandle* handle = FindOpenHandle(device);
    if (handle != nullptr) handle->room = room;
}

void SimSetOverflowHook(std::function<bool(const HidDevice*)> hook) {
    g_bus.overflowHook = std::move(hook);
}
