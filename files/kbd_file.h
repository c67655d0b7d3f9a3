// Loading and saving the key assignment table as a keyboard data file (".kbd").
// Paths are code page 949 bytes.
#pragma once

// Reads the file's first bytes into both layers of the key table. False when
// the file cannot be opened or read; the table is then left as it was.
bool LoadKeyFile(const char* path);

// Writes both layers of the key table to the file, replacing it in one step.
// False when it could not be fully written; an old file at path is then left as it was.
bool SaveKeyFile(const char* path);
