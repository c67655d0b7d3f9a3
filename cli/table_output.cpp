#include "cli/table_output.h"

#include <cstdio>

#include "model/key_names.h"
#include "model/key_table.h"

namespace {

constexpr size_t LINE_SIZE = 160;
constexpr char HEADING_FORMAT[] = "%-4s %-12s %-37s %s";
constexpr char ROW_FORMAT[] = "%-4d %-12s %s %-32s %s %s";

std::string DisplayText(int layer, int slot) {
    char text[DISPLAY_TEXT_SIZE];
    FormatKeyCode(GetKeyCode(layer, slot), text, sizeof text);
    return text;
}

std::string WordText(int layer, int slot) {
    return KeyWordText(GetKeyCode(layer, slot));
}

std::string WithoutTrailingBlanks(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string Row(int labelModelId, int slot) {
    char line[LINE_SIZE];
    std::snprintf(line, sizeof line, ROW_FORMAT, slot, RowLabel(labelModelId, slot),
                  WordText(LAYER_NORMAL, slot).c_str(), DisplayText(LAYER_NORMAL, slot).c_str(),
                  WordText(LAYER_SHIFT, slot).c_str(), DisplayText(LAYER_SHIFT, slot).c_str());
    return WithoutTrailingBlanks(line) + "\n";
}

std::string LayerJson(int layer) {
    std::string json = "[";
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        json += std::string(slot == 1 ? "" : ",") + "{\"code\":\"" + WordText(layer, slot) +
                "\",\"text\":" + JsonString(DisplayText(layer, slot)) + "}";
    }
    return json + "]";
}

}  // namespace

std::string ModelName(int productId) {
    char name[16];
    std::snprintf(name, sizeof name, "QX%X", productId);
    return name;
}

std::string KeyWordText(int32_t code) {
    char text[KEY_WORD_TEXT_SIZE];
    FormatKeyWord(code, text, sizeof text);
    return text;
}

std::string FirmwareText(int version) {
    return std::to_string(version / 16) + "." + std::to_string(version % 16);
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += std::string("\\") + c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string TableText(int labelModelId) {
    char heading[LINE_SIZE];
    std::snprintf(heading, sizeof heading, HEADING_FORMAT, "slot", "label", "normal layer",
                  "shift layer");
    std::string text = std::string(heading) + "\n";
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) text += Row(labelModelId, slot);
    return text;
}

std::string TableJsonMembers(int labelModelId) {
    std::string labels = "[";
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        labels += (slot == 1 ? "" : ",") + JsonString(RowLabel(labelModelId, slot));
    }
    return "\"labels\":" + labels + "],\"normal\":" + LayerJson(LAYER_NORMAL) +
           ",\"shift\":" + LayerJson(LAYER_SHIFT);
}
