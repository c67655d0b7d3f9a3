#include "model/key_names.h"

#include <array>
#include <cstring>

namespace {

struct NamedKey {
    int usage;
    const char* name;
};

// Names in code page 949; the rest of the 256 entries are empty.
constexpr NamedKey NAMED_KEYS[] = {
    {0x04, "A"},
    {0x05, "B"},
    {0x06, "C"},
    {0x07, "D"},
    {0x08, "E"},
    {0x09, "F"},
    {0x0A, "G"},
    {0x0B, "H"},
    {0x0C, "I"},
    {0x0D, "J"},
    {0x0E, "K"},
    {0x0F, "L"},
    {0x10, "M"},
    {0x11, "N"},
    {0x12, "O"},
    {0x13, "P"},
    {0x14, "Q"},
    {0x15, "R"},
    {0x16, "S"},
    {0x17, "T"},
    {0x18, "U"},
    {0x19, "V"},
    {0x1A, "W"},
    {0x1B, "X"},
    {0x1C, "Y"},
    {0x1D, "Z"},
    {0x1E, "1"},
    {0x1F, "2"},
    {0x20, "3"},
    {0x21, "4"},
    {0x22, "5"},
    {0x23, "6"},
    {0x24, "7"},
    {0x25, "8"},
    {0x26, "9"},
    {0x27, "0"},
    {0x28, "Enter"},
    {0x29, "Esc"},
    {0x2A, "Back Space"},
    {0x2B, "Tab"},
    {0x2C, "Space"},
    {0x2D, "-"},
    {0x2E, "="},
    {0x2F, "["},
    {0x30, "]"},
    {0x31, "\\"},
    {0x33, ";"},
    {0x34, "'"},
    {0x35, "`"},
    {0x36, ","},
    {0x37, "."},
    {0x38, "/"},
    {0x39, "Caps Lock"},
    {0x3A, "F1"},
    {0x3B, "F2"},
    {0x3C, "F3"},
    {0x3D, "F4"},
    {0x3E, "F5"},
    {0x3F, "F6"},
    {0x40, "F7"},
    {0x41, "F8"},
    {0x42, "F9"},
    {0x43, "F10"},
    {0x44, "F11"},
    {0x45, "F12"},
    {0x46, "Print Screen"},
    {0x47, "Scroll Lock"},
    {0x48, "Pause"},
    {0x49, "Ins"},
    {0x4A, "Home"},
    {0x4B, "PgUp"},
    {0x4C, "Del"},
    {0x4D, "End"},
    {0x4E, "PgDn"},
    {0x4F, "\xA1\xE6"},  // →
    {0x50, "\xA1\xE7"},  // ←
    {0x51, "\xA1\xE9"},  // ↓
    {0x52, "\xA1\xE8"},  // ↑
    {0x53, "Num Lock"},
    {0x54, "/"},
    {0x55, "*"},
    {0x56, "-"},
    {0x57, "+"},
    {0x58, "Enter"},
    {0x59, "1"},
    {0x5A, "2"},
    {0x5B, "3"},
    {0x5C, "4"},
    {0x5D, "5"},
    {0x5E, "6"},
    {0x5F, "7"},
    {0x60, "8"},
    {0x61, "9"},
    {0x62, "0"},
    {0x63, "."},
    {0x90, "\xC7\xD1/\xBF\xB5"},  // 한/영
    {0x91, "\xC7\xD1\xC0\xDA"},   // 한자
    {0xE0, "Left Ctrl"},
    {0xE1, "Left Shift"},
    {0xE2, "Left Alt"},
    {0xE4, "Right Ctrl"},
    {0xE5, "Right Shift"},
    {0xE6, "Right Alt"},
};

constexpr std::array<const char*, 256> BuildKeyNameTable() {
    std::array<const char*, 256> table{};
    for (const char*& name : table) name = "";
    for (const NamedKey& key : NAMED_KEYS) table[key.usage] = key.name;
    return table;
}

constexpr std::array<const char*, 256> KEY_NAME_TABLE = BuildKeyNameTable();

// Appends text at *length, never past size - 1 bytes; keeps the terminator.
void AppendBounded(char* out, size_t size, size_t* length, const char* text) {
    while (*text != '\0' && *length + 1 < size) out[(*length)++] = *text++;
    out[*length] = '\0';
}

}  // namespace

const char* KeyName(int usage) {
    return KEY_NAME_TABLE[usage & 0xFF];
}

int FindUsageByName(const char* text) {
    for (int usage = 0; usage < NAME_SEARCH_COUNT; ++usage) {
        if (std::strcmp(KEY_NAME_TABLE[usage], text) == 0) return usage;
    }
    return NAME_SEARCH_COUNT;
}

void FormatKeyCode(int32_t code, char* text, size_t size) {
    if (size == 0) return;
    size_t length = 0;
    text[0] = '\0';
    if (code == 0) return;
    for (const ModifierName& modifier : MODIFIER_NAMES) {
        if ((ModifiersOf(code) & (modifier.leftBit | modifier.rightBit)) == 0) continue;
        AppendBounded(text, size, &length, "<");
        AppendBounded(text, size, &length, modifier.name);
        AppendBounded(text, size, &length, ">");
    }
    AppendBounded(text, size, &length, "<");
    AppendBounded(text, size, &length, KeyName(code & 0xFF));
    AppendBounded(text, size, &length, ">");
}
