// A simulated HID bus behind the platform layer of hid_platform.h, for the
// tests and the demo program. It holds devices in enumeration order; a
// device marked as a module keeps sixteen key code words and answers every
// framed request (55 AA, command, arguments) with one input report:
//   byte 1 0x01, byte 2 the version byte, bytes 3 and 4 the word kept for
//   the table index of a read-key request (else 0), byte 5 0x00, byte 6 0xFF.
// After a reset request it answers and then leaves change mode: it is no
// longer enumerated and its open handles go dead.
//
// Time runs on a virtual clock (pauses and waits advance it at once) or on
// the real clock (pauses and waits sleep). Not thread-safe: one thread
// drives it, as the program's one user-interface thread does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/hid_platform.h"

constexpr int SIM_WORD_COUNT = 16;

// One device as the bus describes it. The list of these is the whole bus:
// tests and the demo may edit or replace it between calls.
struct SimDevice {
    std::string path;  // unique; SimAddDevice gives one when empty
    int vendorId = 0;
    int productId = 0;
    int outputLength = 9;  // report lengths, report ID included
    int inputLength = 9;
    bool present = true;     // plugged in
    bool changeMode = true;  // false once a module has left it after a reset
    bool pathReadable = true;
    bool opens = true;            // false: every open fails
    bool opensOverlapped = true;  // false: only the overlapped open fails
    bool attributesReadable = true;
    bool capsReadable = true;
    bool readsFail = false;    // starting a read fails at once
    bool module = false;       // speaks the module's protocol
    bool silent = false;       // a module that never answers
    int unansweredIndex = -1;  // write-key and read-key of this index are lost: no reply
    int replyDelayMs = 1;      // from the write to the reply; 0 answers at once
    int version = 0x21;
    uint16_t words[SIM_WORD_COUNT] = {};
};

// One output report that reached a device.
struct SimWrite {
    int64_t timeMs;
    std::string path;
    std::vector<uint8_t> bytes;
};

// How an open handle stands.
struct SimHandleState {
    bool open;
    bool overlapped;
    std::string path;
};

struct SimCounters {
    int enumerations;    // device sets opened
    int openSets;        // device sets not yet closed
    int openDetails;     // interface detail records not yet freed
    int openHandles;     // device handles not yet closed
    int eventsCreated;   // read events
    int failedWrites;    // writes refused by the device
    int cancelledReads;  // pending reads cancelled
    int misuse;          // calls on unknown or closed handles, or a read started while one pends
};

enum SimAccess { SIM_ACCESS_ENUMERATE, SIM_ACCESS_WRITE, SIM_ACCESS_READ };

// Empties the bus: no devices, handles, events, writes or hooks; virtual clock at 0.
void SimReset();

SimDevice SimModule(int productId);
SimDevice SimForeignDevice(int vendorId, int productId);
// A module when the ids are a keyboard module's in change mode (vendor 10F7,
// product 0206 or 0209), a foreign device otherwise.
SimDevice SimDeviceFor(int vendorId, int productId);
// Appends a device and returns its position.
int SimAddDevice(SimDevice device);
// The bus in enumeration order.
std::vector<SimDevice>& SimDevices();

// Takes the device at position out and back in. Handles opened before the
// unplug stay dead after the re-plug, as on a real bus.
void SimUnplug(int position);
void SimReplug(int position);

const std::vector<SimWrite>& SimWrites();
SimCounters SimCount();
SimHandleState SimHandle(HidHandle handle);

int64_t SimNowMs();
void SimUseRealClock(bool real);

// Called at the start of every enumeration, report write and read start,
// before the bus is looked at: a caller may reload the device list there.
void SimSetAccessHook(std::function<void(SimAccess)> hook);
// Called after the bus itself changed a device's words or mode; the
// argument is the device's position.
void SimSetChangeHook(std::function<void(int)> hook);
