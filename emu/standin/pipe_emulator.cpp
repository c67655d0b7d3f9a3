#include "emu/standin/pipe_emulator.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "emu/sim_bus_edges.h"
#include "emu/sim_bus.h"
#include "emu/sim_bus_keeper.h"
#include "emu/standin/device_pipe_name.h"
#include "emu/standin/pipe_instance.h"

namespace {

// Openings kept ready for each device: the program opens a device up to
// three times in a row in one round of searches, faster than a listener
// may be given the processor back under load.
constexpr size_t READY_OPENINGS = 8;
constexpr DWORD LISTEN_POLL_MS = 50;

// One pipe instance waiting for its caller.
struct Waiting {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;
    OVERLAPPED overlap = {};
    bool connected = false;
};

// The openings of one device pipe; its thread hands connected ones to
// threads of their own and keeps READY_OPENINGS waiting while the device is
// present.
struct Listener {
    std::string name;
    std::string busPath;
    bool opensForReports = true;
    std::mutex lock;
    std::vector<std::unique_ptr<Waiting>> waiting;
};

std::mutex g_busLock;
std::mutex g_listenersLock;
std::map<std::string, std::unique_ptr<Listener>> g_listeners;

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

// Whether the device of the listener is on the bus now, as it was named.
bool ListenerDevicePresent(const Listener& listener) {
    std::lock_guard<std::mutex> lock(g_busLock);
    for (const SimDevice& device : SimDevices()) {
        if (device.path == listener.busPath) {
            return Present(device) && DevicePipeName(device) == listener.name;
        }
    }
    return false;
}

std::unique_ptr<Waiting> OpenWaiting(const Listener& listener) {
    DWORD access = listener.opensForReports ? PIPE_ACCESS_DUPLEX : PIPE_ACCESS_INBOUND;
    auto waiting = std::make_unique<Waiting>();
    waiting->pipe = CreateNamedPipeA(listener.name.c_str(), access | FILE_FLAG_OVERLAPPED,
                                     PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                     PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    if (waiting->pipe == INVALID_HANDLE_VALUE) return nullptr;
    waiting->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    waiting->overlap.hEvent = waiting->event;
    if (!ConnectNamedPipe(waiting->pipe, &waiting->overlap)) {
        waiting->connected = GetLastError() == ERROR_PIPE_CONNECTED;
    }
    return waiting;
}

void CloseWaiting(Waiting* waiting) {
    CancelIoEx(waiting->pipe, &waiting->overlap);
    DWORD moved = 0;
    GetOverlappedResult(waiting->pipe, &waiting->overlap, &moved, TRUE);
    CloseHandle(waiting->pipe);
    CloseHandle(waiting->event);
}

// Tops the waiting openings up; the caller holds the listener's lock.
void FillWaiting(Listener* listener) {
    while (listener->waiting.size() < READY_OPENINGS) {
        std::unique_ptr<Waiting> waiting = OpenWaiting(*listener);
        if (!waiting) return;
        listener->waiting.push_back(std::move(waiting));
    }
}

// Hands every connected opening to a thread of its own.
void HandOverConnected(Listener* listener) {
    auto& waiting = listener->waiting;
    for (size_t i = 0; i < waiting.size();) {
        Waiting& one = *waiting[i];
        if (!one.connected && WaitForSingleObject(one.event, 0) != WAIT_OBJECT_0) {
            ++i;
            continue;
        }
        HANDLE pipe = one.pipe;
        std::string busPath = listener->busPath;
        bool opensForReports = listener->opensForReports;
        if (!StartThread([=] { ServePipeInstance(pipe, busPath, opensForReports); })) {
            CloseHandle(pipe);
        }
        CloseHandle(one.event);
        waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void Listen(Listener* listener) {
    for (;;) {
        std::vector<HANDLE> events;
        {
            std::lock_guard<std::mutex> lock(listener->lock);
            for (const auto& waiting : listener->waiting) events.push_back(waiting->event);
        }
        if (events.empty()) {
            Sleep(LISTEN_POLL_MS);
        } else {
            WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                                   LISTEN_POLL_MS);
        }
        bool present = ListenerDevicePresent(*listener);
        std::lock_guard<std::mutex> lock(listener->lock);
        HandOverConnected(listener);
        if (present) {
            FillWaiting(listener);
            continue;
        }
        for (auto& waiting : listener->waiting) CloseWaiting(waiting.get());
        listener->waiting.clear();
    }
}

// The device's pipe, with openings waiting for the program when this
// returns; its listener is started the first time.
std::string ReadyPipe(const SimDevice& device) {
    std::string name = DevicePipeName(device);
    std::lock_guard<std::mutex> lock(g_listenersLock);
    std::unique_ptr<Listener>& listener = g_listeners[name];
    bool fresh = !listener;
    if (fresh) {
        listener = std::make_unique<Listener>();
        listener->name = name;
        listener->busPath = device.path;
        listener->opensForReports = device.opensForReports;
    }
    {
        std::lock_guard<std::mutex> listenerLock(listener->lock);
        FillWaiting(listener.get());
    }
    if (fresh) StartThread([listener = listener.get()] { Listen(listener); });
    return name;
}

}  // namespace

void StartPipeEmulator() {
    static std::once_flag started;
    std::call_once(started, [] {
        std::lock_guard<std::mutex> lock(g_busLock);
        StartSimBusKeeper(SimBusFilePath(), OnOutsideEdit);
        SimSetOverflowHook(MakeRoomBeside);
    });
}

std::vector<std::string> ListDevicePipes() {
    std::vector<SimDevice> present;
    {
        std::lock_guard<std::mutex> lock(g_busLock);
        SimTransport().enumerate();
        for (const SimDevice& device : SimDevices()) {
            if (Present(device)) present.push_back(device);
        }
    }
    std::vector<std::string> names;
    for (const SimDevice& device : present) names.push_back(ReadyPipe(device));
    return names;
}

std::mutex& BusLock() {
    return g_busLock;
}
