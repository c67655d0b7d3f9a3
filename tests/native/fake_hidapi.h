// A stand-in for hidapi and for the hidraw folders of sysfs: the hid_*
// functions the transport calls, over HID interfaces that a test scripts.
// Reports move as on hidraw: an unnumbered input report comes without its
// report ID (a numbered one with it), each open handle has its own queue,
// and a handle opened before its device went away stays dead after the
// device is back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "emu/sim_module.h"
#include "test_descriptors.h"

struct FakeInterface {
    std::string path;  // /dev/hidrawN
    int vendorId = 0;
    int productId = 0;
    std::vector<uint8_t> descriptor;  // in sysfs, unless descriptorReadable is false
    bool descriptorReadable = true;
    int openErrno = 0;    // not 0: opening fails with this errno
    bool chatty = false;  // sends input reports without end
    // A keyboard module answers each write as the simulated one does.
    bool module = false;
    SimDevice moduleState;
    int vanishAfterWrites = -1;  // takes this many writes, then is gone at the next, once
    int lateReplies = 0;         // this many next replies come only after a read gave up
};

struct FakeWrite {
    std::string path;
    std::vector<uint8_t> bytes;
};

struct FakeCounts {
    int enumerations = 0;  // hid_enumerate calls
    int unfreedLists = 0;  // lists hid_enumerate gave that were not freed
    int opens = 0;         // successful hid_open_path calls
    int openHandles = 0;
    int misuse = 0;  // calls on a closed or unknown handle, or with other ids than 0, 0
};

// No interfaces and nothing counted; the sysfs root of the transport points
// at an empty folder of the stand-in's own.
void FakeHidReset();

// Adds an interface at the end of the enumeration order; its index.
int FakeHidAdd(const FakeInterface& interface);
FakeInterface& FakeHidInterface(int index);

void FakeHidUnplug(int index);
void FakeHidReplug(int index);

// Puts an input report, as hidraw delivers it, into every open handle of
// the interface.
void FakeHidQueueInput(int index, const std::vector<uint8_t>& report);

// Reports queued on the handles open on the interface.
int FakeHidQueued(int index);

// Runs before every hid_enumerate.
void FakeHidOnEnumerate(std::function<void()> hook);

const std::vector<FakeWrite>& FakeHidWrites();
// The time limit of every hid_read_timeout call, in order.
const std::vector<int>& FakeHidReadTimeouts();
FakeCounts FakeHidCount();
// hid_init calls since the program started: a reset does not clear them.
int FakeHidInitCalls();

// The interface of a keyboard module, answering as a module does.
FakeInterface FakeModule(const std::string& path, int productId);
