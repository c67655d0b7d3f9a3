// A simulated HID bus behind the transport of device/hid_transport.h, for
// the tests and the demo program. It holds devices in enumeration order
// (emu/sim_module.h). As on Windows, every open device handle has its own
// queue of input reports: a reply goes to each handle open on the device
// when it is sent, up to the newest 32 of them, and a reply that comes
// after its reader gave up waiting stays in that handle's queue. A device
// that is unplugged, or a module that leaves change mode, is no longer
// listed, and handles opened on it before stay dead.
//
// Time runs on a virtual clock (pauses and waits advance it at once) or on
// the real clock (pauses and waits sleep). Not thread-safe: one thread
// drives it, as the program's one user-interface thread does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/hid_transport.h"
#include "emu/sim_module.h"

// Input reports a handle keeps before the oldest is dropped.
constexpr int SIM_QUEUE_LENGTH = 32;

// One output report that reached a device.
struct SimWrite {
    int64_t timeMs;
    std::string path;
    std::vector<uint8_t> bytes;
};

// How an open handle stands.
struct SimHandleState {
    bool open;
    std::string path;
    int queued;  // input reports waiting in its queue
};

struct SimCounters {
    int enumerations;    // device lists made
    int openHandles;     // device handles not yet closed
    int failedWrites;    // writes refused by the device
    int timedOutWrites;  // writes given up after their time limit
    int timedOutReads;   // reads that waited and ended with no report
    int misuse;          // calls on unknown or closed handles
};

enum SimAccess { SIM_ACCESS_ENUMERATE, SIM_ACCESS_WRITE, SIM_ACCESS_READ };

// The bus as a transport of the device link.
const HidTransport& SimTransport();
// Empties the bus (no devices, handles, writes or hooks; virtual clock at 0)
// and makes it the transport the device link uses.
void SimReset();

// Appends a device and returns its position.
int SimAddDevice(SimDevice device);
// The bus in enumeration order; tests and the demo may edit or replace it
// between calls.
std::vector<SimDevice>& SimDevices();

// Takes the device at position out and back in. Handles opened before the
// unplug stay dead after the re-plug, as on a real bus.
void SimUnplug(int position);
void SimReplug(int position);

const std::vector<SimWrite>& SimWrites();
SimCounters SimCount();
SimHandleState SimHandle(const HidDevice* handle);

int64_t SimNowMs();
void SimUseRealClock(bool real);

// Called at the start of every enumeration, report write and read, before
// the bus is looked at: a caller may reload the device list there.
void SimSetAccessHook(std::function<void(SimAccess)> hook);
// Called after the bus itself changed a device's words or mode; the
// argument is the device's position.
void SimSetChangeHook(std::function<void(int)> hook);

// For a stand-in that serves the bus to other programs, from threads of its
// own that take turns (the bus is still not thread-safe):
//
// Hands an output report to the device behind the handle once its write has
// lasted what the device takes (SimDevice::writeDelayMs), as Write does
// after that wait; length, or -1 when the handle is dead or the length is
// not the device's.
int SimTakeWrite(HidDevice* device, const uint8_t* report, int length);
// Takes the oldest report queued for the handle, without waiting and
// without looking at the bus anew: its length, 0 when none is queued, -1
// when none is and the handle is dead.
int SimTakeQueued(HidDevice* device, uint8_t* buffer, int capacity);
// Sends the replies due by now to the handles open on their devices.
void SimSendDueReplies();
// The device behind a handle while the connection it was opened on lasts;
// nullptr once it has gone.
const SimDevice* SimDeviceBehind(const HidDevice* device);
// A stand-in that holds one of a handle's reports outside its queue (in the
// pipe before its reader) leaves that much less room in the queue, so that
// the two together keep the newest SIM_QUEUE_LENGTH.
void SimSetQueueRoom(HidDevice* device, int room);
// Called when a report comes to a handle whose queue is full, before the
// oldest is dropped: true when the stand-in has dropped the report it held
// instead and given the queue its room back.
void SimSetOverflowHook(std::function<bool(const HidDevice*)> hook);
