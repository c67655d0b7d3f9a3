#include "model/key_table.h"

#include <cstdio>

namespace {

int32_t g_keyTable[TABLE_SIZE];

int IndexOf(int layer, int slot) {
    return layer * SLOT_COUNT + (slot - 1);
}

const char* const PIN_LABELS[ROW_LABEL_COUNT] = {
    "Pin No.  1  [ GND ] ", "Pin No.  2 ", "Pin No.  3 ", "Pin No.  4 ", "Pin No.  5 ",
    "Pin No.  6 ",          "Pin No.  7 ", "Pin No.  8 ", "Pin No.  9 ", "Pin No. 10 ",
};

const char* const WIRE_LABELS[ROW_LABEL_COUNT] = {
    "> Shield    [ GND ]   ",
    "> Black     ",
    "> Red       ",
    "> Yellow   ",
    "> Green    ",
    "> Blue      ",
    "> White     ",
    "   Not Use ",
    "   Not Use ",
    "                                        ",
};

}  // namespace

int32_t GetKeyCode(int layer, int slot) {
    return g_keyTable[IndexOf(layer, slot)];
}

void SetKeyCode(int layer, int slot, int32_t value) {
    g_keyTable[IndexOf(layer, slot)] = value;
}

void ClearKeyCode(int layer, int slot) {
    SetKeyCode(layer, slot, 0);
}

void ClearKeyTable() {
    for (int32_t& entry : g_keyTable) entry = 0;
}

int LoneModifierUsage(int modifiers) {
    for (int n = 0; n < MODIFIER_BIT_COUNT; ++n) {
        if (modifiers == 1 << n) return FIRST_MODIFIER_USAGE + n;
    }
    return 0;
}

void FormatKeyWord(int32_t code, char* text, size_t size) {
    std::snprintf(text, size, "%04X", static_cast<uint32_t>(code));
}

const char* RowLabel(int labelModelId, int k) {
    return labelModelId == MODEL_QX206 ? WIRE_LABELS[k] : PIN_LABELS[k];
}
