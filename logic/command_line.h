// The one ".kbd" path a command line may carry.
#pragma once

#include <cstddef>

// Keeps the path of commandLine in path (size bytes with the terminator):
// a trailing double quote drops it and the first character; a path without
// ".kbd" (case-sensitive) or too long for the buffer leaves path empty.
void KeepCommandLinePath(const char* commandLine, char* path, size_t size);
