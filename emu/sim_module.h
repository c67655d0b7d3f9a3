// A device on the simulated bus and, when it is a keyboard module, the
// module's side of the protocol. A module keeps sixteen key code words and
// answers every framed request (55 AA, command, arguments) with one input
// report:
//   byte 1 0x01, byte 2 the version byte, bytes 3 and 4 the word kept for
//   the table index of a read-key request (else 0), byte 5 0x00, byte 6 0xFF.
// A write-key request stores its word, unless its index is the stuck one;
// after a reset request the module answers and then leaves change mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int SIM_WORD_COUNT = 16;

// One device as the bus describes it.
struct SimDevice {
    std::string path;  // unique; SimAddDevice gives one when empty
    int vendorId = 0;
    int productId = 0;
    int outputLength = 9;  // report lengths, report ID included
    int inputLength = 9;
    bool present = true;           // plugged in
    bool changeMode = true;        // false once a module has left it after a reset
    bool identityReadable = true;  // false: listed by the system, but its ids cannot be read
    bool capsReadable = true;      // false: its report lengths cannot be read
    bool opensForReports = true;   // false: opening it for reports fails
    bool takesReports = true;      // false: a write never finishes
    bool readsFail = false;        // every read fails at once
    bool module = false;           // speaks the module's protocol
    bool silent = false;           // a module that never answers
    int unansweredIndex = -1;      // write-key and read-key of this index are lost: no reply
    int stuckIndex = -1;           // write-key of this index is answered, its word kept unchanged
    int replyDelayMs = 1;          // from the write to the reply; 0 answers at once
    int writeDelayMs = 0;          // from the start of a write to its end
    int version = 0x21;
    uint16_t words[SIM_WORD_COUNT] = {};
};

SimDevice SimModule(int productId);
SimDevice SimForeignDevice(int vendorId, int productId);
// A module when the ids are a keyboard module's in change mode (vendor 10F7,
// product 0206 or 0209), a foreign device otherwise.
SimDevice SimDeviceFor(int vendorId, int productId);

// What the device does with one output report of length bytes.
struct SimAnswer {
    bool replies = false;
    std::vector<uint8_t> reply;  // inputLength bytes, report ID 0 first
    bool wordsChanged = false;
    bool leavesChangeMode = false;  // once the reply has been sent
};

SimAnswer SimTakeRequest(SimDevice& device, const uint8_t* request, int length);
