#include "emu/standin/pipe_emulator.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "emu/sim_bus_edges.h"
#include "emu/sim_bus.h"
#include "emu/sim_bus_keeper.h"
#include "emu/standin/device_pipe_name.h"
#include "emu/standin/pipe_instance.h"

namespace {

// Openings kept ready for each device: the program opens a device up to
// three times in a row in one round of searches, faster than the
// emulator's threads may be given the processor back under load.
constexpr size_t READY_OPENINGS = 8;
// How often the devices of the pipes are looked for on the bus.
constexpr DWORD PRESENCE_POLL_MS = 50;

struct Listener;

// One pipe instance waiting for its caller; its end, a connection or its
// cancellation, comes through the completion port.
struct Waiting {
    OVERLAPPED overlap = {};  // first: the port hands back its address
    Listener* listener = nullptr;
    HANDLE pipe = INVALID_HANDLE_VALUE;
    bool cancelled = false;  // and its pipe closed
};

// The openings of one device pipe: READY_OPENINGS wait while the device is
// present, and each connected one is handed to a thread of its own.
struct Listener {
    std::string name;
    std::string busPath;
    bool opensForReports = true;
    bool present = true;
    std::vector<Waiting*> waiting;  // the cancelled ones until their end comes
};

// Locks are taken in this order: the bus, then the listeners.
std::mutex g_busLock;
std::mutex g_listenersLock;
std::map<std::string, std::unique_ptr<Listener>> g_listeners;
HANDLE g_port = nullptr;

// An edit of the bus file from outside: the bus as it says now, so that the
// openings of a device that left see it, and the notice the system sends.
void OnOutsideEdit() {
    {
        std::lock_guard<std::mutex> lock(g_busLock);
        SimTransport().enumerate();
    }
    PostDeviceChangeNotice();
}

DWORD WINAPI RunJob(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
    (*job)();
    return 0;
}

// Runs work on a thread of its own that nobody waits for; false when none
// could be had. A Windows thread rather than a detached std::thread: under
// Wine and load, now and then one of those never ran.
bool StartThread(std::function<void()> work) {
    auto* job = new std::function<void()>(std::move(work));
    HANDLE thread = CreateThread(nullptr, 0, RunJob, job, 0, nullptr);
    if (thread == nullptr) {
        delete job;
        return false;
    }
    CloseHandle(thread);
    return true;
}

bool Present(const SimDevice& device) {
    return device.present && device.changeMode;
}

void HandOver(const Listener& listener, HANDLE pipe) {
    std::string busPath = listener.busPath;
    bool opensForReports = listener.opensForReports;
    if (!StartThread([=] { ServePipeInstance(pipe, busPath, opensForReports); })) {
        CloseHandle(pipe);
    }
}

// A new instance of the listener's pipe waiting for its caller; false when
// none could be made. One that a caller took at once is handed over.
bool OpenWaiting(Listener* listener) {
    DWORD access = listener->opensForReports ? PIPE_ACCESS_DUPLEX : PIPE_ACCESS_INBOUND;
    HANDLE pipe = CreateNamedPipeA(listener->name.c_str(), access | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return false;
    auto waiting = std::make_unique<Waiting>();
    waiting->listener = listener;
    waiting->pipe = pipe;
    if (CreateIoCompletionPort(pipe, g_port, 0, 0) == nullptr) {
        CloseHandle(pipe);
        return false;
    }
    if (!ConnectNamedPipe(pipe, &waiting->overlap)) {
        DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) HandOver(*listener, pipe);
        if (error != ERROR_IO_PENDING) {
            if (error != ERROR_PIPE_CONNECTED) CloseHandle(pipe);
            return error == ERROR_PIPE_CONNECTED;
        }
    }
    listener->waiting.push_back(waiting.release());
    return true;
}

size_t Ready(const Listener& listener) {
    size_t ready = 0;
    for (const Waiting* waiting : listener.waiting) ready += waiting->cancelled ? 0 : 1;
    return ready;
}

// Tops the waiting openings up while the device is present; the caller
// holds the listeners' lock.
void FillWaiting(Listener* listener) {
    while (listener->present && Ready(*listener) < READY_OPENINGS && OpenWaiting(listener)) {
    }
}

// The end of a waiting opening: a connected one is handed over, and its
// place taken by a new one.
void EndWaiting(Waiting* waiting, bool connected) {
    std::unique_ptr<Waiting> ended(waiting);
    std::lock_guard<std::mutex> lock(g_listenersLock);
    Listener* listener = waiting->listener;
    auto& list = listener->waiting;
    list.erase(std::find(list.begin(), list.end(), waiting));
    // A cancelled one's pipe was closed when its device left.
    if (!waiting->cancelled && connected) HandOver(*listener, waiting->pipe);
    if (!waiting->cancelled && !connected) CloseHandle(waiting->pipe);
    FillWaiting(listener);
}

// One thread takes the end of every waiting opening.
void Listen() {
    for (;;) {
        DWORD moved = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlap = nullptr;
        BOOL connected = GetQueuedCompletionStatus(g_port, &moved, &key, &overlap, INFINITE);
        if (overlap != nullptr) EndWaiting(reinterpret_cast<Waiting*>(overlap), connected);
    }
}

// Cancels the waiting openings of every pipe whose device is no longer on
// the bus as it was named; the caller holds the bus lock.
void UpdatePresence() {
    std::set<std::string> present;
    for (const SimDevice& device : SimDevices()) {
        if (Present(device)) present.insert(DevicePipeName(device));
    }
    std::lock_guard<std::mutex> lock(g_listenersLock);
    for (auto& entry : g_listeners) {
        Listener& listener = *entry.second;
        listener.present = present.count(listener.name) > 0;
        if (listener.present) continue;
        for (Waiting* waiting : listener.waiting) {
            if (waiting->cancelled) continue;
            // Closed at once: a pipe instance takes callers even when no one
            // waits for them, and one that came now would be cut off later.
            CancelIoEx(waiting->pipe, &waiting->overlap);
            CloseHandle(waiting->pipe);
            waiting->pipe = INVALID_HANDLE_VALUE;
            waiting->cancelled = true;
        }
    }
}

// One thread looks for the device of every pipe, so that one that leaves
// has its openings closed.
void WatchPresence() {
    for (;;) {
        Sleep(PRESENCE_POLL_MS);
        std::lock_guard<std::mutex> lock(g_busLock);
        UpdatePresence();
    }
}

// The device's pipe, with openings waiting for the program when this
// returns. The caller holds the bus lock, and the device is present.
std::string ReadyPipe(const SimDevice& device) {
    std::string name = DevicePipeName(device);
    std::lock_guard<std::mutex> lock(g_listenersLock);
    std::unique_ptr<Listener>& listener = g_listeners[name];
    if (!listener) {
        listener = std::make_unique<Listener>();
        listener->name = name;
        listener->busPath = device.path;
        listener->opensForReports = device.opensForReports;
    }
    listener->present = true;
    FillWaiting(listener.get());
    return name;
}

}  // namespace

void StartPipeEmulator() {
    static std::once_flag started;
    std::call_once(started, [] {
        std::lock_guard<std::mutex> lock(g_busLock);
        StartSimBusKeeper(SimBusFilePath(), OnOutsideEdit);
        SimSetOverflowHook(MakeRoomBeside);
        g_port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
        StartThread(Listen);
        StartThread(WatchPresence);
    });
}

std::vector<std::string> ListDevicePipes() {
    std::lock_guard<std::mutex> lock(g_busLock);
    SimTransport().enumerate();
    std::vector<std::string> names;
    for (const SimDevice& device : SimDevices()) {
        if (Present(device)) names.push_back(ReadyPipe(device));
    }
    return names;
}

std::mutex& BusLock() {
    return g_busLock;
}
