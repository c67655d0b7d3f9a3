#include "logic/key_picker_logic.h"

#include <cstring>

#include "logic/key_layout.h"
#include "model/key_names.h"
#include "model/key_table.h"

namespace {

// The modifiers held in the open dialog, in the layout of the modifier byte.
int g_heldModifiers;

void OnOk(KeyPickerView& view) {
    int usage = LoneModifierUsage(g_heldModifiers);
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
    view.ShowKey(PICKER_OK, LoneModifierUsage(g_heldModifiers) != 0);
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
