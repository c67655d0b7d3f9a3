// The key picker's keys as data, from the key layout that the picker's dialog
// template is made from too.
#pragma once

#include <cstddef>

enum class KeyKind { PUSH, MULTILINE, TWIN, CANCEL, OK };

struct LayoutKey {
    int id;
    const char* caption;  // UTF-8, as the dialog holds it
    int fixedUsage;       // 0: the caption names the usage
    int x, y, width, height;
    KeyKind kind;
    int modifierBit;  // the bit of a modifier's button and twin; 0 for the others
};

#define KEY(id, caption, usage, x, y, width, height, kind, bit) \
    {id, caption, usage, x, y, width, height, KeyKind::kind, bit},
inline constexpr LayoutKey KEY_LAYOUT[] = {
#include "logic/key_layout.inc"
};
#undef KEY

// The key with this id; nullptr when there is none.
const LayoutKey* FindLayoutKey(int id);
