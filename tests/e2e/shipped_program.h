// The shipped usbkbd.exe, byte for byte, started from build/standin/ beside
// the stand-in hid.dll and setupapi.dll, which serve it the emulated module
// of a bus file of the test's making; what went over the wire, as the
// emulator records it.
#pragma once

#include <string>
#include <vector>

#include "program_process.h"

class ShippedProgram : public ProgramProcess {
public:
    // Started in the folder with its bus.txt as the bus and wire.txt as the
    // record, and a command line of arguments.
    explicit ShippedProgram(const Folder& folder, const std::wstring& arguments = L"");

    // Posts a menu command and returns at once, for a test that acts while
    // the command runs.
    void PostCommand(int id) const;
};

// The lines of the record whose letter is one of letters: "W ..." for each
// report the device took, "Q ..." for each report put before a reader of the
// device, "R ..." for each one the program read; "O ..." and "C ..." for
// the start and the end of each opening's service.
std::vector<std::string> WireLines(const Folder& folder, const char* letters = "WR");
// Those lines once the record holds at least count of them, or as they
// stand after a long bound. The emulator writes a report's line after the
// program has the report, so a command may end before its last line is in.
std::vector<std::string> AwaitWireLines(const Folder& folder, size_t count,
                                        const char* letters = "WR");

// The record's line for one report: "W 10F7:0209 00 55 AA ..." for the device
// with vendor 10F7 and this product id.
std::string WireLine(char direction, int productId, const std::vector<int>& bytes);
// A request of the program, 9 bytes: 00 55 AA command arguments.
std::string RequestLine(int productId, int command, int arg1 = 0, int arg2 = 0, int arg3 = 0);
// The emulated module's reply, 9 bytes: 00 01 version word-high word-low 00 FF 00 00.
std::string ReplyLine(int productId, int version, int word = 0);
