// Key names by HID usage ID (Keyboard/Keypad page) and the display text of a
// key code word. All texts are code page 949 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/key_table.h"

// A name search looks at usage IDs 0 to 145 only (up to "한자").
constexpr int NAME_SEARCH_COUNT = 146;

// Room for the longest display text, "<Ctrl><Shift><Alt><Print Screen>", and its terminator.
constexpr size_t DISPLAY_TEXT_SIZE = 33;

// The modifiers that a display text names, in its order, each for its left
// and its right key alike: "<Ctrl>" stands for either Ctrl or both.
struct ModifierName {
    const char* name;
    int leftBit;
    int rightBit;
};
inline constexpr ModifierName MODIFIER_NAMES[] = {
    {"Ctrl", MOD_LEFT_CTRL, MOD_RIGHT_CTRL},
    {"Shift", MOD_LEFT_SHIFT, MOD_RIGHT_SHIFT},
    {"Alt", MOD_LEFT_ALT, MOD_RIGHT_ALT},
};

// The name of a usage ID 0..255; the empty text for an entry without a name.
const char* KeyName(int usage);

// The first usage ID below NAME_SEARCH_COUNT whose name equals text byte for
// byte; NAME_SEARCH_COUNT when none does.
int FindUsageByName(const char* text);

// The display text of a key code word, e.g. "<Ctrl><C>"; empty for 0. Only
// the low 16 bits count. Writes at most size - 1 bytes and a terminator.
void FormatKeyCode(int32_t code, char* text, size_t size);
