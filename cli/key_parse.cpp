#include "cli/key_parse.h"

#include <algorithm>
#include <iterator>

#include "model/key_names.h"
#include "model/key_table.h"

namespace {

constexpr char SHIFT_PREFIX[] = "shift:";
constexpr char RIGHT_PREFIX[] = "R";
constexpr size_t SUGGESTION_COUNT = 3;

// A modifier prefix and its bits in the modifier byte, or a key name and its usage ID.
struct Named {
    std::string name;
    int value;
};

// A name that a KEY may also use, and the name it stands for.
struct KeyAlias {
    const char* alias;
    const char* name;
};

// Names that people type for a modifier prefix or a key where the tool's
// own differ, and the name each stands for.
const KeyAlias MODIFIER_ALIASES[] = {{"Control", "Ctrl"}};
const KeyAlias KEY_ALIASES[] = {
    {"Return", "Enter"},
    {"Escape", "Esc"},
    {"Insert", "Ins"},
    {"Delete", "Del"},
    {"PageUp", "PgUp"},
    {"PageDown", "PgDn"},
    {"Up", "\xA1\xE8"},
    {"Down", "\xA1\xE9"},
    {"Left", "\xA1\xE7"},
    {"Right", "\xA1\xE6"},
    {"Break", "Pause"},
    {"PrtSc", "Print Screen"},
    {"Hangul", "\xC7\xD1/\xBF\xB5"},
    {"Hanja", "\xC7\xD1\xC0\xDA"},
};

// Code page 949 text with its ASCII letters in lower case; the second byte
// of a two-byte character, which may look like a letter, is left alone.
std::string Folded(const std::string& text) {
    std::string folded = text;
    for (size_t i = 0; i < folded.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(folded[i]);
        if (c >= 0x81) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// A name as it is compared: folded, its blanks left out.
std::string Compared(const std::string& text) {
    std::string compared;
    for (char c : Folded(text)) {
        if (c != ' ') compared += c;
    }
    return compared;
}

// The prefixes in the display text's order, the left keys' and then the
// right keys'.
const std::vector<Named>& Modifiers() {
    static const std::vector<Named> modifiers = [] {
        std::vector<Named> list;
        for (const ModifierName& modifier : MODIFIER_NAMES) {
            list.push_back({modifier.name, modifier.leftBit});
        }
        for (const ModifierName& modifier : MODIFIER_NAMES) {
            list.push_back({RIGHT_PREFIX + std::string(modifier.name), modifier.rightBit});
        }
        return list;
    }();
    return modifiers;
}

const std::vector<Named>& OfferedKeys() {
    static const std::vector<Named> keys = [] {
        std::vector<Named> list;
        for (int usage = 0; usage < NAME_SEARCH_COUNT; ++usage) {
            const char* name = KeyName(usage);
            if (name[0] != '\0' && FindUsageByName(name) == usage) list.push_back({name, usage});
        }
        for (const Named& modifier : Modifiers()) {
            int usage = LoneModifierUsage(modifier.value);
            list.push_back({KeyName(usage), usage});
        }
        return list;
    }();
    return keys;
}

// The name that text stands for: the alias's own, else text itself.
std::string Unaliased(const std::string& text, const KeyAlias* aliases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (Compared(text) == Compared(aliases[i].alias)) return aliases[i].name;
    }
    return text;
}

// Edits (insert, delete, replace a byte) from a to b.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            size_t replace = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, replace});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// `"Enter", "End", "Esc"`: the names nearest to text, nearest first.
std::string Nearest(const std::string& text, const std::vector<std::string>& names) {
    std::vector<std::pair<size_t, size_t>> ranked;  // distance, position
    for (size_t i = 0; i < names.size(); ++i) {
        ranked.push_back({EditDistance(Folded(text), Folded(names[i])), i});
    }
    std::stable_sort(ranked.begin(), ranked.end());
    std::string list;
    for (size_t i = 0; i < ranked.size() && i < SUGGESTION_COUNT; ++i) {
        list += (i == 0 ? "\"" : ", \"") + names[ranked[i].second] + "\"";
    }
    return list;
}

std::vector<std::string> ModifierNames() {
    std::vector<std::string> names;
    for (const Named& modifier : Modifiers()) names.push_back(modifier.name);
    return names;
}

// The value of the entry that text, or the name that it is another name
// for, names; case and blanks do not count.
bool FindNamed(const std::string& text, const std::vector<Named>& entries, const KeyAlias* aliases,
               size_t aliasCount, int* value) {
    std::string name = Unaliased(text, aliases, aliasCount);
    for (const Named& entry : entries) {
        if (Compared(name) == Compared(entry.name)) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

// Splits "Ctrl+Shift+A" into "Ctrl+Shift+" and "A"; the key "+" itself
// stands last as in "Ctrl++".
void SplitKey(const std::string& text, std::string* prefixes, std::string* name) {
    size_t size = text.size();
    bool plusKey = size > 0 && text[size - 1] == '+' && (size == 1 || text[size - 2] == '+');
    size_t split = plusKey ? size - 1 : text.rfind('+');
    split = plusKey ? split : split == std::string::npos ? 0 : split + 1;
    *prefixes = text.substr(0, split);
    *name = text.substr(split);
}

bool ParsePrefixes(const std::string& prefixes, const std::string& text, int* bits,
                   std::string* fault) {
    size_t start = 0;
    for (size_t plus = prefixes.find('+'); plus != std::string::npos;
         plus = prefixes.find('+', start)) {
        std::string word = prefixes.substr(start, plus - start);
        int modifier = 0;
        if (!FindNamed(word, Modifiers(), MODIFIER_ALIASES, std::size(MODIFIER_ALIASES),
                       &modifier)) {
            *fault = "unknown modifier \"" + word + "\" in \"" + text +
                     "\"; nearest: " + Nearest(word, ModifierNames());
            return false;
        }
        *bits |= modifier;
        start = plus + 1;
    }
    return true;
}

}  // namespace

bool ParseSlot(const std::string& text, SlotName* slot) {
    std::string folded = Folded(text);
    bool shift = folded.compare(0, sizeof SHIFT_PREFIX - 1, SHIFT_PREFIX) == 0;
    std::string number = shift ? text.substr(sizeof SHIFT_PREFIX - 1) : text;
    if (number.size() != 1 || number[0] < '1' || number[0] > '0' + SLOT_COUNT) return false;
    *slot = SlotName{shift ? LAYER_SHIFT : LAYER_NORMAL, number[0] - '0'};
    return true;
}

std::string SlotNameOf(const SlotName& slot) {
    std::string number = std::to_string(slot.slot);
    return slot.layer == LAYER_SHIFT ? SHIFT_PREFIX + number : number;
}

std::string SlotNameOfIndex(int index) {
    return SlotNameOf(SlotName{LayerOfIndex(index), SlotOfIndex(index)});
}

const std::vector<std::string>& OfferedKeyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Named& key : OfferedKeys()) list.push_back(key.name);
        return list;
    }();
    return names;
}

std::vector<std::string> KeyAliasNames() {
    std::vector<std::string> names;
    for (const KeyAlias& alias : KEY_ALIASES) names.push_back(alias.alias);
    return names;
}

bool ParseKey(const std::string& text, int32_t* code, std::string* fault) {
    std::string prefixes;
    std::string name;
    SplitKey(text, &prefixes, &name);
    int bits = 0;
    if (!ParsePrefixes(prefixes, text, &bits, fault)) return false;
    int usage = 0;
    if (name.empty()) {
        *fault = "no key name after \"" + text + "\"";
        return false;
    }
    if (!FindNamed(name, OfferedKeys(), KEY_ALIASES, std::size(KEY_ALIASES), &usage)) {
        *fault = "unknown key \"" + name + "\"; nearest: " + Nearest(name, OfferedKeyNames());
        return false;
    }
    *code = MakeKeyCode(bits, usage);
    return true;
}
