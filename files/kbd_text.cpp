#include "files/kbd_text.h"

#include <cstdio>
#include <cstring>

#include "files/hex_value.h"
#include "model/key_table.h"

namespace {

constexpr const char* KEY_LINE_FORMAT = "%s %s %s %s %s %s %s %s\r\n";

// How many runs of blanks of each length are turned into leading zeros.
constexpr int BLANK_RUN_REWRITES = 20;

// Copies the bytes before the first zero byte, up to the read limit, to text.
size_t CopyText(const char* bytes, size_t length, char* text) {
    size_t count = 0;
    while (count < length && count < KEY_TEXT_READ_LIMIT && bytes[count] != '\0') {
        text[count] = bytes[count];
        ++count;
    }
    return count;
}

// The index of the first run of runLength blanks in text, or length if there is none.
size_t FindBlankRun(const char* text, size_t length, size_t runLength) {
    for (size_t start = 0; start + runLength <= length; ++start) {
        size_t blanks = 0;
        while (blanks < runLength && text[start + blanks] == ' ') ++blanks;
        if (blanks == runLength) return start;
    }
    return length;
}

// Twenty times over, the first run of runLength blanks keeps its first blank
// and has the others changed to the digit 0.
void FillBlankRuns(char* text, size_t length, size_t runLength) {
    for (int round = 0; round < BLANK_RUN_REWRITES; ++round) {
        size_t start = FindBlankRun(text, length, runLength);
        if (start == length) return;
        std::memset(text + start + 1, '0', runLength - 1);
    }
}

// The end of the line that starts at begin: its LF, or the end of the text.
// *next gets the start of the following line. The CR of a CR LF stays in the
// line as trailing white space, which reads the same as the end of the line.
const char* LineEnd(const char* begin, const char* end, const char** next) {
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
    *next = lf != nullptr ? lf + 1 : end;
    return lf != nullptr ? lf : end;
}

// Slot 1 takes the value at the start of the line, each later slot the value
// after the next blank; once no blank is left, the remaining slots become 0.
void ParseLine(int layer, const char* begin, const char* end) {
    SetKeyCode(layer, 1, ParseHexValue(begin, end));
    const char* from = begin;
    for (int slot = 2; slot <= SLOT_COUNT; ++slot) {
        const char* blank = static_cast<const char*>(std::memchr(from, ' ', end - from));
        SetKeyCode(layer, slot, blank != nullptr ? ParseHexValue(blank, end) : 0);
        from = blank != nullptr ? blank + 1 : end;
    }
}

// Appends one layer's line at out + *used; false when it does not fit.
bool FormatLine(int layer, char* out, size_t size, size_t* used) {
    char words[SLOT_COUNT][KEY_WORD_TEXT_SIZE];
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        FormatKeyWord(GetKeyCode(layer, slot), words[slot - 1], KEY_WORD_TEXT_SIZE);
    }
    size_t room = size - *used;
    int written = std::snprintf(out + *used, room, KEY_LINE_FORMAT, words[0], words[1], words[2],
                                words[3], words[4], words[5], words[6], words[7]);
    if (written < 0 || static_cast<size_t>(written) >= room) return false;
    *used += static_cast<size_t>(written);
    return true;
}

}  // namespace

void ParseKeyText(const char* bytes, size_t length) {
    char text[KEY_TEXT_READ_LIMIT];
    size_t textLength = CopyText(bytes, length, text);
    FillBlankRuns(text, textLength, 3);
    FillBlankRuns(text, textLength, 2);

    const char* end = text + textLength;
    const char* line2 = end;
    const char* rest = end;  // anything after line 2 is ignored
    const char* line1End = LineEnd(text, end, &line2);
    const char* line2End = LineEnd(line2, end, &rest);
    ParseLine(LAYER_NORMAL, text, line1End);
    ParseLine(LAYER_SHIFT, line2, line2End);
}

size_t FormatKeyText(char* out, size_t size) {
    size_t used = 0;
    if (size == 0 || !FormatLine(LAYER_NORMAL, out, size, &used) ||
        !FormatLine(LAYER_SHIFT, out, size, &used)) {
        return 0;
    }
    return used;
}
