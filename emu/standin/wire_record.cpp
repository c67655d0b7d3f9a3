#include "emu/standin/wire_record.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD RECORD_PATH_SIZE = 1024;

// The record's path, in the system's code page; empty when none is asked for.
const std::string& RecordPath() {
    static const std::string path = [] {
        char text[RECORD_PATH_SIZE];
        DWORD length = GetEnvironmentVariableA("USBKBD_EMU_RECORD", text, RECORD_PATH_SIZE);
        return length > 0 && length < RECORD_PATH_SIZE ? std::string(text) : std::string();
    }();
    return path;
}

char Letter(WireDirection direction) {
    switch (direction) {
        case WireDirection::ToDevice:
            return 'W';
        case WireDirection::ToReader:
            return 'Q';
        default:
            return 'R';
    }
}

}  // namespace

void RecordReport(WireDirection direction, int vendorId, int productId, const uint8_t* bytes,
                  int length) {
    if (RecordPath().empty()) return;
    char head[32];
    std::snprintf(head, sizeof head, "%c %04X:%04X", Letter(direction), vendorId & 0xFFFF,
                  productId & 0xFFFF);
    std::string line = head;
    for (int i = 0; i < length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", bytes[i]);
        line += byte;
    }
    line += "\n";
    FILE* file = std::fopen(RecordPath().c_str(), "ab");
    if (file == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}
