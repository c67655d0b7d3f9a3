#include "logic/key_layout.h"

const LayoutKey* FindLayoutKey(int id) {
    for (const LayoutKey& key : KEY_LAYOUT) {
        if (key.id == id) return &key;
    }
    return nullptr;
}
