#include "emu/standin/wire_record.h"

#include <cstdio>

namespace {

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

// The line of letter for the device, then rest and a line feed.
void Record(char letter, int vendorId, int productId, const std::string& rest) {
    char head[32];
    std::snprintf(head, sizeof head, "%c %04X:%04X", letter, vendorId & 0xFFFF, productId & 0xFFFF);
    AppendWireRecord(head + rest + "\n");
}

}  // namespace

void RecordReport(WireDirection direction, int vendorId, int productId, const uint8_t* bytes,
                  int length) {
    if (!WireRecordAsked()) return;
    std::string rest;
    for (int i = 0; i < length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", bytes[i]);
        rest += byte;
    }
    Record(Letter(direction), vendorId, productId, rest);
}

void RecordOpening(int vendorId, int productId, const char* ending) {
    if (!WireRecordAsked()) return;
    Record(ending == nullptr ? 'O' : 'C', vendorId, productId,
           ending == nullptr ? std::string() : std::string(" ") + ending);
}
