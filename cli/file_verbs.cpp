#include "cli/file_verbs.h"

#include "cli/key_file.h"
#include "cli/key_parse.h"
#include "cli/table_output.h"
#include "files/printable_text.h"
#include "model/key_names.h"
#include "model/key_table.h"

namespace {

// A file shows the pin labels, as the window does before any module is found.
constexpr int FILE_LABEL_MODEL = 0;

int Refuse(Console& console, const std::string& fault) {
    Tell(console, fault);
    return EXIT_USAGE;
}

// Loads the file named by the first operand; a missing one, where allowed,
// is an empty table. "" when loaded.
std::string LoadOperandFile(const Options& options, bool missingIsEmpty) {
    std::string fault;
    if (!UsableFileName(options.operands[0], &fault)) return fault;
    const std::string& path = options.operands[0].text;
    if (missingIsEmpty && !KeyFileExists(path)) return "";
    return LoadCheckedKeyFile(path);
}

bool ReadSlot(const Argument& text, SlotName* slot, std::string* fault) {
    if (ParseSlot(text.text, slot)) return true;
    *fault = "no slot \"" + text.text + "\"; slots are 1 to 8 and shift:1 to shift:8";
    return false;
}

// Sets the slot, saves the file and says what the slot now holds.
int StoreSlot(const Options& options, Console& console, const SlotName& slot, int32_t code) {
    SetKeyCode(slot.layer, slot.slot, code);
    const std::string& path = options.operands[0].text;
    std::string fault = SaveKeyFileTold(path);
    if (!fault.empty()) return Refuse(console, fault);
    char text[DISPLAY_TEXT_SIZE];
    FormatKeyCode(code, text, sizeof text);
    std::string shown = code == 0 ? "  (empty)" : std::string("  ") + text;
    console.Out(PrintableText(path) + ": slot " + SlotNameOf(slot) + " = " + KeyWordText(code) +
                shown + "\n");
    return EXIT_DONE;
}

}  // namespace

int RunShow(const Options& options, Console& console) {
    std::string fault = LoadOperandFile(options, false);
    if (!fault.empty()) return Refuse(console, fault);
    const std::string& path = options.operands[0].text;
    if (options.json) {
        console.Out("{\"file\":" + JsonString(path) + "," + TableJsonMembers(FILE_LABEL_MODEL) +
                    "}\n");
    } else {
        console.Out(PrintableText(path) + "\n" + TableText(FILE_LABEL_MODEL));
    }
    return EXIT_DONE;
}

int RunSet(const Options& options, Console& console) {
    SlotName slot = {};
    int32_t code = 0;
    std::string fault = LoadOperandFile(options, true);
    if (fault.empty()) ReadSlot(options.operands[1], &slot, &fault);
    if (fault.empty()) ParseKey(options.operands[2].text, &code, &fault);
    if (!fault.empty()) return Refuse(console, fault);
    return StoreSlot(options, console, slot, code);
}

int RunClear(const Options& options, Console& console) {
    SlotName slot = {};
    std::string fault = LoadOperandFile(options, false);
    if (fault.empty()) ReadSlot(options.operands[1], &slot, &fault);
    if (!fault.empty()) return Refuse(console, fault);
    return StoreSlot(options, console, slot, 0);
}
