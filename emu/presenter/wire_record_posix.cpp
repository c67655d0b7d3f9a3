#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "emu/standin/wire_record.h"

namespace {

const char* RecordPath() {
    static const char* path = std::getenv("USBKBD_EMU_RECORD");
    return path != nullptr && *path != '\0' ? path : nullptr;
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

// Appends the line in one write at the file's end.
void Record(char letter, int vendorId, int productId, const std::string& rest) {
    char head[32];
    std::snprintf(head, sizeof head, "%c %04X:%04X", letter, vendorId & 0xFFFF, productId & 0xFFFF);
    std::string line = head + rest + "\n";
    int file = open(RecordPath(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return;
    ssize_t written = write(file, line.data(), line.size());
    (void)written;
    close(file);
}

}  // namespace

void RecordReport(WireDirection direction, int vendorId, int productId, const uint8_t* bytes,
                  int length) {
    if (RecordPath() == nullptr) return;
    std::string rest;
    for (int i = 0; i < length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", bytes[i]);
        rest += byte;
    }
    Record(Letter(direction), vendorId, productId, rest);
}

void RecordOpening(int vendorId, int productId, const char* ending) {
    if (RecordPath() == nullptr) return;
    Record(ending == nullptr ? 'O' : 'C', vendorId, productId,
           ending == nullptr ? std::string() : std::string(" ") + ending);
}
