// Whole-file reads and replacing writes on the platform's file system. Paths
// are code page 949 bytes.
#pragma once

#include <cstddef>

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
