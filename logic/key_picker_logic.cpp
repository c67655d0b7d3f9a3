#include "logic/key_picker_logic.h"

#include <cstring>

#include "model/key_names.h"
#include "model/key_table.h"

namespace {

// The usage ID of the modifier key with bit 0 of the modifier byte; bit n
// belongs to the key FIRST_MODIFIER_USAGE + n.
constexpr int FIRST_MODIFIER_USAGE = 0xE0;
constexpr int MODIFIER_BITS = 8;

// A modifier key: the button shown while it is up, the flat twin shown in
// its place while it is held, and its bit in the held modifiers.
struct ModifierKey {
    int button;
    int twin;
    int bit;
};

constexpr ModifierKey MODIFIER_KEYS[] = {
    {1068, 1089, 0x01},  // left Ctrl
    {1056, 1000, 0x02},  // left Shift
    {1069, 1090, 0x04},  // left Alt
    {1074, 1091, 0x10},  // right Ctrl
    {1067, 1001, 0x20},  // right Shift
    {1073, 1092, 0x40},  // right Alt
};

// Keys whose usage ID comes from their id: Backspace (its caption "←" names
// the left arrow), Pause/Break (its caption is no key name) and the keypad
// (most of its captions name the main keyboard's keys).
struct FixedKey {
    int id;
    int usage;
};

constexpr FixedKey FIXED_KEYS[] = {
    {1029, 0x2A}, {1087, 0x48}, {1093, 0x54}, {1094, 0x55}, {1095, 0x56}, {1097, 0x5F},
    {1098, 0x60}, {1099, 0x61}, {1100, 0x57}, {1102, 0x5C}, {1103, 0x5D}, {1104, 0x5E},
    {1107, 0x59}, {1108, 0x5A}, {1109, 0x5B}, {1110, 0x58}, {1112, 0x62}, {1114, 0x63},
};

// The modifiers held in the open dialog, in the layout of the modifier byte.
int g_heldModifiers;

// The usage ID of the one modifier key held; 0 unless exactly one is held.
int LoneModifierUsage() {
    for (int n = 0; n < MODIFIER_BITS; ++n) {
        if (g_heldModifiers == 1 << n) return FIRST_MODIFIER_USAGE + n;
    }
    return 0;
}

void OnOk(KeyPickerView& view) {
    int usage = LoneModifierUsage();
    if (usage != 0) {
        view.EndPick(usage);
    } else {
        view.ShowKey(PICKER_OK, false);
    }
}

// Flips the modifier whose button or twin has this id; false for other ids.
bool ToggleModifier(KeyPickerView& view, int id) {
    for (const ModifierKey& key : MODIFIER_KEYS) {
        if (id != key.button && id != key.twin) continue;
        bool held = id == key.button;
        g_heldModifiers = held ? g_heldModifiers | key.bit : g_heldModifiers & ~key.bit;
        view.ShowKey(PICKER_OK, LoneModifierUsage() != 0);
        view.ShowKey(id, false);
        view.ShowKey(held ? key.twin : key.button, true);
        return true;
    }
    return false;
}

// A two-line caption becomes one line: a single byte after the line feed is
// the key's own symbol, a longer second line is the second word of its name.
void JoinCaptionLines(char* caption) {
    char* lineFeed = std::strchr(caption, '\n');
    if (lineFeed == nullptr) return;
    size_t rest = std::strlen(lineFeed + 1);
    if (rest >= 2) {
        *lineFeed = ' ';
    } else if (rest == 1) {
        caption[0] = lineFeed[1];
        caption[1] = '\0';
    }
}

int UsageOfKey(KeyPickerView& view, int id) {
    for (const FixedKey& key : FIXED_KEYS) {
        if (key.id == id) return key.usage;
    }
    char caption[CAPTION_SIZE];
    view.CaptionOf(id, caption, sizeof caption);
    JoinCaptionLines(caption);
    return FindUsageByName(caption);
}

}  // namespace

void OpenKeyPicker(KeyPickerView& view) {
    for (const ModifierKey& key : MODIFIER_KEYS) view.ShowKey(key.twin, false);
    g_heldModifiers = 0;
}

void ClickPickerControl(KeyPickerView& view, int id) {
    if (id == PICKER_OK) {
        OnOk(view);
    } else if (id == PICKER_CANCEL) {
        view.EndPick(0);
    } else if (!ToggleModifier(view, id)) {
        view.EndPick(MakeKeyCode(g_heldModifiers, UsageOfKey(view, id)));
    }
}
