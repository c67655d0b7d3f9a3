// The key assignment table: eight slots in two layers, the key code word
// layout, the two module models and the row labels that name their inputs.
#pragma once

#include <cstddef>
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

// The modifier byte: bit n belongs to the modifier key whose own usage ID is
// FIRST_MODIFIER_USAGE + n, bits 0 to 3 to the left keys (Ctrl, Shift, Alt,
// GUI), bits 4 to 7 to the right ones.
constexpr int FIRST_MODIFIER_USAGE = 0xE0;
constexpr int MODIFIER_BIT_COUNT = 8;
constexpr int MOD_LEFT_CTRL = 0x01;
constexpr int MOD_LEFT_SHIFT = 0x02;
constexpr int MOD_LEFT_ALT = 0x04;
constexpr int MOD_RIGHT_CTRL = 0x10;
constexpr int MOD_RIGHT_SHIFT = 0x20;
constexpr int MOD_RIGHT_ALT = 0x40;

// The usage ID of the one modifier key whose bit modifiers holds; 0 unless
// exactly one bit is set.
int LoneModifierUsage(int modifiers);

inline int UsageOf(int32_t code) {
    return code & 0xFF;
}
inline int ModifiersOf(int32_t code) {
    return (code >> 8) & 0xFF;
}
inline int32_t MakeKeyCode(int modifiers, int usage) {
    return modifiers * 256 + usage;
}

// Room for a key code word in hexadecimal, eight digits, and its terminator.
constexpr size_t KEY_WORD_TEXT_SIZE = 9;

// The key code word as the file writer writes it: upper-case hexadecimal of
// at least four digits, a negative entry as its unsigned 32-bit pattern.
// Writes at most size - 1 bytes and a terminator.
void FormatKeyWord(int32_t code, char* text, size_t size);

// Row label k (0 to 9) of the set that labelModelId chooses: the wire-colour
// set for a QX206, the pin set for anything else.
const char* RowLabel(int labelModelId, int k);
