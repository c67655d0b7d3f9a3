// The module's command set and the table-wide operations built on it.
#pragma once

#include <cstdint>

constexpr int CMD_VERSION = 0x40;
constexpr int CMD_WRITE_KEY = 0x41;
constexpr int CMD_READ_KEY = 0x42;
constexpr int CMD_RESET = 0x4F;

// The word a module keeps after the write of this entry: the two bytes that
// carry it on the wire, modifier byte and usage ID, which are the low 8 bits
// of value / 256 and of value % 256 in C's signed division.
int32_t WordOnTheWire(int32_t value);

// Writes the entry at table index 0..15; 1 when the module acknowledged it.
int WriteKeyEntry(int index);

// Reads the entry at table index 0..15 into the key table; 1 when the module
// answered, else 0 and the entry keeps its value.
int ReadKeyEntry(int index);

// Writes all sixteen entries in table order; 1 when every write succeeded,
// 0 when at least one failed. A failure never ends the series early.
int WriteKeyTable();

// Reads all sixteen entries in table order into the key table; an entry
// whose read fails keeps its value. Returns the number of failed reads.
int ReadKeyTable();

// The module's firmware version byte, or 0 when the query failed.
int ReadFirmwareVersion();

// Tells the module to leave change mode and work as a keyboard; 1 when it
// acknowledged.
int SendReset();
