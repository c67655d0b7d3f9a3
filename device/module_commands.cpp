#include "device/module_commands.h"

#include "device/report_exchange.h"
#include "model/key_table.h"

namespace {

// Signed division: the bytes of a negative value follow C's truncation.
int WireModifierByte(int32_t value) {
    return (value / 256) & 0xFF;
}

int WireUsageByte(int32_t value) {
    return (value % 256) & 0xFF;
}

}  // namespace

int32_t WordOnTheWire(int32_t value) {
    return MakeKeyCode(WireModifierByte(value), WireUsageByte(value));
}

int WriteKeyEntry(int index) {
    int32_t value = GetKeyCode(LayerOfIndex(index), SlotOfIndex(index));
    return Transact(CMD_WRITE_KEY, index, WireModifierByte(value), WireUsageByte(value), 0, 0);
}

int ReadKeyEntry(int index) {
    if (!Transact(CMD_READ_KEY, index, 0, 0, 0, 0)) return 0;
    SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), MakeKeyCode(ReplyByte(3), ReplyByte(4)));
    return 1;
}

int WriteKeyTable() {
    int failures = 0;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        if (!WriteKeyEntry(index)) ++failures;
    }
    return failures == 0 ? 1 : 0;
}

int ReadKeyTable() {
    int failures = 0;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        if (!ReadKeyEntry(index)) ++failures;
    }
    return failures;
}

int ReadFirmwareVersion() {
    if (!Transact(CMD_VERSION, 0, 0, 0, 0, 0)) return 0;
    return ReplyByte(2);
}

int SendReset() {
    return Transact(CMD_RESET, 0, 0, 0, 0, 0);
}
