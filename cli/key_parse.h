// Slots and keys as the command line names them: SLOT "1" to "8" or
// "shift:1" to "shift:8"; KEY a key name with modifier prefixes, "Ctrl+C".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SlotName {
    int layer;
    int slot;
};

// The slot that text names; false when it names none.
bool ParseSlot(const std::string& text, SlotName* slot);

// "3" or "shift:3": the name of a slot, or of table index 0..15.
std::string SlotNameOf(const SlotName& slot);
std::string SlotNameOfIndex(int index);

// The key names a KEY may end in, in usage order, each once: the names the
// key picker finds by caption, then the six modifier keys alone.
const std::vector<std::string>& OfferedKeyNames();

// The other names a KEY may end in (Return, Escape, PageUp, ...), each for
// one of the key names.
std::vector<std::string> KeyAliasNames();

// The key code word that text names (case and blanks do not count, and
// "Control" is "Ctrl"); on failure *fault says why, with the nearest names
// when the name is unknown.
bool ParseKey(const std::string& text, int32_t* code, std::string* fault);
