// The module's command set and the table-wide operations built on it.
#pragma once

constexpr int CMD_VERSION = 0x40;
constexpr int CMD_WRITE_KEY = 0x41;
constexpr int CMD_READ_KEY = 0x42;
constexpr int CMD_RESET = 0x4F;

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
