// The key assignment table: eight slots in two layers, the key code word
// layout, the two module models and the row labels that name their inputs.
#pragma once

#include <cstdint>

constexpr int LAYER_NORMAL = 0;
constexpr int LAYER_SHIFT = 1;
constexpr int SLOT_COUNT = 8;
constexpr int TABLE_SIZE = 16;

constexpr int MODEL_QX206 = 0x206;
constexpr int MODEL_QX209 = 0x209;

constexpr int ROW_LABEL_COUNT = 10;

// Layer 0 or 1, slot 1 to 8.
int32_t GetKeyCode(int layer, int slot);
void SetKeyCode(int layer, int slot, int32_t value);
void ClearKeyCode(int layer, int slot);
void ClearKeyTable();

// Table index 0..15: normal slots 1..8, then shift slots 1..8.
inline int LayerOfIndex(int index) {
    return index / SLOT_COUNT;
}
inline int SlotOfIndex(int index) {
    return index % SLOT_COUNT + 1;
}

inline int UsageOf(int32_t code) {
    return code & 0xFF;
}
inline int ModifiersOf(int32_t code) {
    return (code >> 8) & 0xFF;
}
inline int32_t MakeKeyCode(int modifiers, int usage) {
    return modifiers * 256 + usage;
}

// Row label k (0 to 9) of the set that labelModelId chooses: the wire-colour
// set for a QX206, the pin set for anything else.
const char* RowLabel(int labelModelId, int k);
