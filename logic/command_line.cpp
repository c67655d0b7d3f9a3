#include "logic/command_line.h"

#include <cstring>

void KeepCommandLinePath(const char* commandLine, char* path, size_t size) {
    if (size == 0) return;
    path[0] = '\0';
    const char* start = commandLine;
    size_t length = std::strlen(commandLine);
    if (length > 0 && commandLine[length - 1] == '"') {
        start = length > 1 ? commandLine + 1 : commandLine + length;
        length = length > 1 ? length - 2 : 0;
    }
    if (length >= size) return;
    std::memcpy(path, start, length);
    path[length] = '\0';
    if (std::strstr(path, ".kbd") == nullptr) path[0] = '\0';
}
