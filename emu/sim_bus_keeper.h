// Keeps the simulated bus in step with a bus file (emu/sim_bus_file.h) that
// people edit while the demo runs: the bus is built anew from the file at a
// search or transaction after it changed, the module's new words and mode
// are written back into the file as the module takes them (not waiting for
// the disk), and an edit made from outside is told to the front-end as a
// device would be that came or went.
#pragma once

#include <functional>
#include <string>

#include "files/file_io.h"

// The size up to which bus files are read whole: a bus of a few devices
// takes a few hundred bytes. Of a longer file the bus is built from this
// much, and the module's changes are not written back, which would cut it.
constexpr size_t SIM_BUS_FILE_LIMIT = 16 * 1024 * 1024;

// Reads the bus file at path (code page 949), at most SIM_BUS_FILE_LIMIT
// bytes of it, into a buffer its size; *whole tells whether that is all of
// it, *stamp (unless nullptr) the file's stamp from just before the read.
// False when it cannot be read.
bool ReadSimBusFile(const std::string& path, std::string* text, bool* whole,
                    FileStamp* stamp = nullptr);

// Makes the file at path (code page 949) with one QX209 when it is missing,
// empties the bus and puts it on the real clock, hooks the file to it, and
// starts watching the file: onOutsideEdit is called, on the watcher's
// thread, after each edit from outside. Problems are told on stderr.
void StartSimBusKeeper(const std::string& path, std::function<void()> onOutsideEdit);

// Stops the watcher; the bus stays as it is.
void StopSimBusKeeper();
