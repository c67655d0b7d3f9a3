// ".kbd" files as the tool takes them: read with the window's reader after a
// check that the file holds what the writer writes, so that no value is read
// otherwise than it looks, and saved with the window's writer.
#pragma once

#include <string>

#include "cli/console.h"

// A file name from the command line; false, with *fault, when it had a
// character that code page 949 lacks and so names no file the core can open.
bool UsableFileName(const Argument& name, std::string* fault);

// Loads the file into the key table; "" when it did, else the fault (one
// line naming the file), the table then left as it was.
std::string LoadCheckedKeyFile(const std::string& path);

// Whether anything exists at path.
bool KeyFileExists(const std::string& path);

// Saves the key table; "" when saved, else the fault.
std::string SaveKeyFileTold(const std::string& path);
