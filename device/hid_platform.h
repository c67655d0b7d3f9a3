// The few operating-system services the device link needs: walking the
// present HID interfaces, opening one, reading its identity and report
// lengths, and moving one output report and one input report. One
// implementation is linked in: the Windows one for the program, the
// simulated bus for tests and the demo.
#pragma once

#include <cstdint>

// Opaque handles; 0 is "none" and is never a valid handle or event.
using HidHandle = intptr_t;
using HidEvent = intptr_t;
using HidDeviceSet = void*;
using HidInterface = void*;

constexpr HidHandle HID_NO_HANDLE = 0;
constexpr HidEvent HID_NO_EVENT = 0;

enum HidInterfaceResult {
    HID_INTERFACE_READY,       // *detail holds the interface's detail record
    HID_INTERFACE_UNREADABLE,  // the interface exists but its path could not be fetched
    HID_INTERFACE_END,         // no interface at this index: the list has ended
};

enum HidOpenMode { HID_OPEN_SYNC, HID_OPEN_OVERLAPPED };

enum HidReadStart { HID_READ_PENDING, HID_READ_DONE, HID_READ_FAILED };

struct HidAttributes {
    int vendorId;
    int productId;
};

struct HidReportLengths {
    int output;  // bytes of an output report, report ID included
    int input;   // bytes of an input report, report ID included
};

// The set of HID interfaces present now; nullptr when it cannot be had.
HidDeviceSet HidOpenDeviceSet();
// The detail record of the interface at index; free it with HidFreeInterface.
HidInterfaceResult HidGetInterface(HidDeviceSet set, int index, HidInterface* detail);
const char* HidInterfacePath(HidInterface detail);
void HidFreeInterface(HidInterface detail);
void HidCloseDeviceSet(HidDeviceSet set);

// Opens a device path for reading and writing, shared; HID_NO_HANDLE on failure.
HidHandle HidOpenDevice(const char* path, HidOpenMode mode);
void HidCloseDevice(HidHandle device);
// 1 and the record filled, or 0.
int HidGetAttributes(HidHandle device, HidAttributes* attributes);
int HidGetReportLengths(HidHandle device, HidReportLengths* lengths);

// Writes one output report of length bytes, waiting for it; 1 = written.
int HidWriteReport(HidHandle device, const uint8_t* report, int length);

// The read event: manual reset, created signalled. Reads started with
// HidStartRead signal it when they complete. HID_NO_EVENT on failure.
HidEvent HidCreateReadEvent();
// Starts reading one input report of length bytes into buffer on an
// overlapped handle. The buffer must stay untouched until the read has
// completed or HidCancelRead has returned.
HidReadStart HidStartRead(HidHandle device, uint8_t* buffer, int length);
// 1 when the event is signalled within timeoutMs, else 0.
int HidWaitRead(HidEvent event, int timeoutMs);
// Cancels the pending read on device and waits until it has finished.
void HidCancelRead(HidHandle device);
void HidResetEvent(HidEvent event);

void HidPause(int milliseconds);
