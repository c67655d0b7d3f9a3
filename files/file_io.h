// Whole-file reads and replacing writes on the platform's file system. Paths
// are code page 949 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the file's first bytes, at most capacity of them, into buffer and sets
// *length to their count. False when the file cannot be opened or read.
bool ReadFileStart(const char* path, char* buffer, size_t capacity, size_t* length);

// Whether anything (a file, a folder) exists at path.
bool FileExists(const char* path);

// Makes the file at path hold exactly these bytes: they go to a new file in the
// same folder, which then takes the old file's place in one step, with the old
// file's attributes. False when any step fails, and when the old file is
// read-only; an old file at path is then untouched and the new one removed.
bool ReplaceFileContents(const char* path, const char* bytes, size_t length);

// The same without waiting until the bytes are on the disk: for a file that
// the program rewrites many times a second and whose newest state, lost in a
// crash, costs nothing.
bool ReplaceFileContentsUnflushed(const char* path, const char* bytes, size_t length);

// The size and last write time of a file, in nanoseconds of the file
// system's clock. A write changes them, but for one that keeps the size and
// comes within the same tick of the clock as the write before: a stamp tells
// a change only for a file last written well before the stamp was taken.
struct FileStamp {
    uint64_t size = 0;
    int64_t modifiedNs = 0;

    bool operator==(const FileStamp& other) const {
        return size == other.size && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// False when there is no file at path, or it cannot be looked at.
bool ReadFileStamp(const char* path, FileStamp* stamp);

// The file system's clock now, as FileStamp::modifiedNs counts it.
int64_t FileClockNs();
