#include "logic/key_picker_logic.h"

#include <cstring>

#include "logic/key_layout.h"
#include "model/key_names.h"
#include "model/key_table.h"

namespace {

// The usage ID of the modifier key with bit 0 of the modifier byte; bit n
// belongs to the key FIRST_MODIFIER_USAGE + n.
constexpr int FIRST_MODIFIER_USAGE = 0xE0;
constexpr int MODIFIER_BITS = 8;

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

// The modifier's other control: the twin of its button, the button of its twin.
const LayoutKey* OtherControlOf(const LayoutKey& key) {
    for (const LayoutKey& other : KEY_LAYOUT) {
        bool twins = (other.kind == KeyKind::TWIN) != (key.kind == KeyKind::TWIN);
        if (other.modifierBit == key.modifierBit && twins) return &other;
    }
    return nullptr;
}

// Flips the modifier whose button or twin has this id; false for other ids.
bool ToggleModifier(KeyPickerView& view, int id) {
    const LayoutKey* key = FindLayoutKey(id);
    if (key == nullptr || key->modifierBit == 0) return false;
    const LayoutKey* other = OtherControlOf(*key);
    if (other == nullptr) return false;
    bool held = key->kind != KeyKind::TWIN;
    int bit = key->modifierBit;
    g_heldModifiers = held ? g_heldModifiers | bit : g_heldModifiers & ~bit;
    view.ShowKey(PICKER_OK, LoneModifierUsage() != 0);
    view.ShowKey(id, false);
    view.ShowKey(other->id, true);
    return true;
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
    const LayoutKey* key = FindLayoutKey(id);
    if (key != nullptr && key->fixedUsage != 0) return key->fixedUsage;
    char caption[CAPTION_SIZE];
    view.CaptionOf(id, caption, sizeof caption);
    JoinCaptionLines(caption);
    return FindUsageByName(caption);
}

}  // namespace

void OpenKeyPicker(KeyPickerView& view) {
    for (const LayoutKey& key : KEY_LAYOUT) {
        if (key.kind == KeyKind::TWIN) view.ShowKey(key.id, false);
    }
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
