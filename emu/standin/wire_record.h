// The record of every report on the emulated wire, for tests that check
// the bytes: the file that USBKBD_EMU_RECORD names gets one line per report,
//   W 10F7:0209 00 55 AA 40 00 00 00 00 00   (an output report the device took)
//   Q 10F7:0209 00 01 21 00 00 00 FF 00 00   (an input report put before a reader)
//   R 10F7:0209 00 01 21 00 00 00 FF 00 00   (an input report a reader took)
//   O 10F7:0209                              (an opening of the device served)
//   C 10F7:0209 closed                       (and its end: closed by the program,
//                                             or the device gone, or a write
//                                             of the wrong length refused)
// Nothing is recorded when the variable is unset.
#pragma once

#include <cstdint>
#include <string>

enum class WireDirection { ToDevice, ToReader, FromDevice };

// One line for a report of the device with these ids.
void RecordReport(WireDirection direction, int vendorId, int productId, const uint8_t* bytes,
                  int length);
// One line for the start of an opening's service (ending nullptr) or its end.
void RecordOpening(int vendorId, int productId, const char* ending);

// Each platform's part: whether a record is asked for, and appending one
// whole line to it in one write at the file's end.
bool WireRecordAsked();
void AppendWireRecord(const std::string& line);
