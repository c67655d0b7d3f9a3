#include "emu/sim_bus_file.h"

#include <cstdio>
#include <map>

#include "files/hex_value.h"

namespace {

constexpr int LONGEST_REPORT = 255;
constexpr size_t DECIMAL_DIGITS = 3;
// Delays in milliseconds: up to a minute, far past every time limit.
constexpr int LONGEST_DELAY_MS = 60000;
constexpr size_t DELAY_DIGITS = 5;

// A device block: its "device" line and the lines up to the next one.
struct Block {
    int deviceLine;
    int endLine;      // one past its last line
    bool identified;  // the device line names vendor and product
    SimDevice device;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The words of a line before its comment.
std::vector<std::string> WordsOf(const std::string& line) {
    std::vector<std::string> words;
    size_t end = line.find('#');
    if (end == std::string::npos) end = line.size();
    size_t at = 0;
    while (at < end) {
        while (at < end && IsBlank(line[at])) ++at;
        size_t start = at;
        while (at < end && !IsBlank(line[at])) ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    return words;
}

// The lines between line feeds; a CR before a LF stays with its line.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\n") + lines[i];
    return text;
}

bool ParseHex(const std::string& word, size_t maxDigits, int* value) {
    if (word.empty() || word.size() > maxDigits) return false;
    int result = 0;
    for (char c : word) {
        if (HexDigitValue(c) < 0) return false;
        result = result * 16 + HexDigitValue(c);
    }
    *value = result;
    return true;
}

bool ParseDecimal(const std::string& word, int low, int high, int* value,
                  size_t digits = DECIMAL_DIGITS) {
    size_t first = !word.empty() && word[0] == '-' ? 1 : 0;
    if (word.size() == first || word.size() - first > digits) return false;
    int magnitude = 0;
    for (size_t i = first; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        magnitude = magnitude * 10 + (word[i] - '0');
    }
    int result = first == 1 ? -magnitude : magnitude;
    if (result < low || result > high) return false;
    *value = result;
    return true;
}

bool ReadMode(const std::string* values, SimDevice* device) {
    if (values[0] != "change" && values[0] != "keyboard") return false;
    device->changeMode = values[0] == "change";
    return true;
}

bool ReadFirmware(const std::string* values, SimDevice* device) {
    return ParseHex(values[0], 2, &device->version);
}

bool ReadFlag(const std::string& value, bool* flag) {
    if (value != "0" && value != "1") return false;
    *flag = value == "1";
    return true;
}

bool ReadSilent(const std::string* values, SimDevice* device) {
    return ReadFlag(values[0], &device->silent);
}

bool ReadOpens(const std::string* values, SimDevice* device) {
    return ReadFlag(values[0], &device->opensForReports);
}

bool ReadCaps(const std::string* values, SimDevice* device) {
    return ReadFlag(values[0], &device->capsReadable);
}

bool ReadDelay(const std::string* values, SimDevice* device) {
    return ParseDecimal(values[0], 0, LONGEST_DELAY_MS, &device->replyDelayMs, DELAY_DIGITS);
}

bool ReadWriteDelay(const std::string* values, SimDevice* device) {
    return ParseDecimal(values[0], 0, LONGEST_DELAY_MS, &device->writeDelayMs, DELAY_DIGITS);
}

bool ReadFail(const std::string* values, SimDevice* device) {
    return ParseDecimal(values[0], -1, SIM_WORD_COUNT - 1, &device->unansweredIndex);
}

bool ReadStuck(const std::string* values, SimDevice* device) {
    return ParseDecimal(values[0], -1, SIM_WORD_COUNT - 1, &device->stuckIndex);
}

bool ReadReports(const std::string* values, SimDevice* device) {
    return ParseDecimal(values[0], 1, LONGEST_REPORT, &device->outputLength) &&
           ParseDecimal(values[1], 1, LONGEST_REPORT, &device->inputLength);
}

bool ReadKeys(const std::string* values, SimDevice* device) {
    for (int i = 0; i < SIM_WORD_COUNT; ++i) {
        int word = 0;
        if (!ParseHex(values[i], 4, &word)) return false;
        device->words[i] = static_cast<uint16_t>(word);
    }
    return true;
}

struct Setting {
    const char* keyword;
    size_t valueCount;
    bool (*read)(const std::string* values, SimDevice* device);
    const char* form;
};

const Setting SETTINGS[] = {
    {"mode", 1, ReadMode, "mode change|keyboard"},
    {"firmware", 1, ReadFirmware, "firmware <hex byte>"},
    {"silent", 1, ReadSilent, "silent 0|1"},
    {"fail", 1, ReadFail, "fail <table index 0..15, or -1>"},
    {"stuck", 1, ReadStuck, "stuck <table index 0..15, or -1>"},
    {"reports", 2, ReadReports, "reports <output length> <input length>, each 1..255"},
    {"delay", 1, ReadDelay, "delay <milliseconds 0..60000>"},
    {"write-delay", 1, ReadWriteDelay, "write-delay <milliseconds 0..60000>"},
    {"opens", 1, ReadOpens, "opens 0|1"},
    {"caps", 1, ReadCaps, "caps 0|1"},
    {"keys", SIM_WORD_COUNT, ReadKeys, "keys <16 hex words of at most 4 digits>"},
};

const Setting* FindSetting(const std::string& keyword) {
    for (const Setting& setting : SETTINGS) {
        if (keyword == setting.keyword) return &setting;
    }
    return nullptr;
}

// Reads one setting line into the device; the fault, or empty when it read.
std::string ReadSetting(const std::vector<std::string>& words, SimDevice* device) {
    const Setting* setting = FindSetting(words[0]);
    if (setting == nullptr) return "unknown setting \"" + words[0] + "\"";
    if (words.size() - 1 != setting->valueCount || !setting->read(&words[1], device)) {
        return std::string("expected \"") + setting->form + "\"";
    }
    return "";
}

bool ReadIdentity(const std::vector<std::string>& words, int* vendorId, int* productId) {
    if (words.size() != 2) return false;
    size_t colon = words[1].find(':');
    return colon != std::string::npos && ParseHex(words[1].substr(0, colon), 4, vendorId) &&
           ParseHex(words[1].substr(colon + 1), 4, productId);
}

// The same device keeps its path whatever blocks come and go around it: the
// path names vendor, product and the count of blocks with both before it.
std::string PathOf(int vendorId, int productId, int ordinal) {
    char path[64];
    std::snprintf(path, sizeof path, "\\\\?\\hid#vid_%04x&pid_%04x#demo%d", vendorId, productId,
                  ordinal);
    return path;
}

std::vector<Block> FindBlocks(const std::vector<std::string>& lines) {
    std::vector<Block> blocks;
    std::map<int, int> ordinals;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        std::vector<std::string> words = WordsOf(lines[i]);
        if (words.empty() || words[0] != "device") continue;
        if (!blocks.empty()) blocks.back().endLine = i;
        Block block = {i, static_cast<int>(lines.size()), false, SimDevice{}};
        int vendorId = 0;
        int productId = 0;
        block.identified = ReadIdentity(words, &vendorId, &productId);
        if (block.identified) {
            block.device = SimDeviceFor(vendorId, productId);
            block.device.replyDelayMs = 0;
            block.device.path = PathOf(vendorId, productId, ordinals[vendorId << 16 | productId]++);
        }
        blocks.push_back(block);
    }
    return blocks;
}

void AddProblem(SimBusText* bus, int line, const std::string& fault, int deviceLine) {
    std::string problem = "line " + std::to_string(line + 1) + ": " + fault;
    if (deviceLine >= 0) {
        problem += "; the device of line " + std::to_string(deviceLine + 1) + " is left out";
    }
    bus->problems.push_back(problem);
}

void ReadBlock(const std::vector<std::string>& lines, Block block, SimBusText* bus) {
    bool whole = block.identified;
    if (!whole) AddProblem(bus, block.deviceLine, "expected \"device <hex>:<hex>\"", -1);
    for (int i = block.deviceLine + 1; i < block.endLine; ++i) {
        std::vector<std::string> words = WordsOf(lines[i]);
        if (words.empty()) continue;
        std::string fault = ReadSetting(words, &block.device);
        if (fault.empty()) continue;
        whole = false;
        AddProblem(bus, i, fault, block.identified ? block.deviceLine : -1);
    }
    if (whole) bus->devices.push_back(block.device);
}

std::string ModeValue(const SimDevice& device) {
    return device.changeMode ? "change" : "keyboard";
}

std::string KeysValue(const SimDevice& device) {
    std::string value;
    for (int i = 0; i < SIM_WORD_COUNT; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "%s%04X", i == 0 ? "" : " ", device.words[i]);
        value += word;
    }
    return value;
}

// The line with its words replaced by content; its indent, comment and CR stay.
std::string Rewritten(const std::string& line, const std::string& content) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    size_t end = line.find('#');
    if (end == std::string::npos) end = line.size();
    while (end > start && IsBlank(line[end - 1])) --end;
    return line.substr(0, start) + content + line.substr(end);
}

// Sets the last line of this keyword in the block of path, or adds one after
// the block's last setting; false when no block describes path.
bool SetSetting(std::vector<std::string>* lines, const std::string& path, const char* keyword,
                const std::string& value) {
    for (const Block& block : FindBlocks(*lines)) {
        if (!block.identified || block.device.path != path) continue;
        int found = -1;
        int lastSetting = block.deviceLine;
        for (int i = block.deviceLine + 1; i < block.endLine; ++i) {
            std::vector<std::string> words = WordsOf((*lines)[i]);
            if (!words.empty()) lastSetting = i;
            if (!words.empty() && words[0] == keyword) found = i;
        }
        std::string content = std::string(keyword) + " " + value;
        if (found >= 0) {
            (*lines)[found] = Rewritten((*lines)[found], content);
        } else {
            const std::string& deviceLine = (*lines)[block.deviceLine];
            bool cr = !deviceLine.empty() && deviceLine.back() == '\r';
            lines->insert(lines->begin() + lastSetting + 1, content + (cr ? "\r" : ""));
        }
        return true;
    }
    return false;
}

}  // namespace

SimBusText ParseSimBus(const std::string& text) {
    SimBusText bus;
    std::vector<std::string> lines = SplitLines(text);
    std::vector<Block> blocks = FindBlocks(lines);
    int firstBlock = blocks.empty() ? static_cast<int>(lines.size()) : blocks[0].deviceLine;
    for (int i = 0; i < firstBlock; ++i) {
        std::vector<std::string> words = WordsOf(lines[i]);
        if (!words.empty()) AddProblem(&bus, i, "\"" + words[0] + "\" before any device line", -1);
    }
    for (const Block& block : blocks) ReadBlock(lines, block, &bus);
    return bus;
}

std::string FormatSimDevice(const SimDevice& device) {
    char head[160];
    std::snprintf(head, sizeof head,
                  "device %04X:%04X\nmode %s\nfirmware %02X\nsilent %d\nfail %d\nreports %d %d\n",
                  device.vendorId & 0xFFFF, device.productId & 0xFFFF, ModeValue(device).c_str(),
                  device.version & 0xFF, device.silent ? 1 : 0, device.unansweredIndex,
                  device.outputLength, device.inputLength);
    std::string rare;
    if (device.stuckIndex >= 0) rare += "stuck " + std::to_string(device.stuckIndex) + "\n";
    if (device.replyDelayMs != 0) rare += "delay " + std::to_string(device.replyDelayMs) + "\n";
    if (device.writeDelayMs != 0) {
        rare += "write-delay " + std::to_string(device.writeDelayMs) + "\n";
    }
    if (!device.opensForReports) rare += "opens 0\n";
    if (!device.capsReadable) rare += "caps 0\n";
    return head + rare + ("keys " + KeysValue(device)) + "\n";
}

bool UpdateSimBusText(std::string* text, const SimDevice& device) {
    std::vector<std::string> lines = SplitLines(*text);
    if (!SetSetting(&lines, device.path, "mode", ModeValue(device))) return false;
    SetSetting(&lines, device.path, "keys", KeysValue(device));
    *text = JoinLines(lines);
    return true;
}
