#include "files/printable_text.h"

#include <cstdio>

namespace {

constexpr unsigned char DELETE = 0x7F;

struct NamedEscape {
    char byte;
    const char* escape;
};

constexpr NamedEscape NAMED_ESCAPES[] = {{'\a', "\\a"}, {'\b', "\\b"}, {'\t', "\\t"}, {'\n', "\\n"},
                                         {'\v', "\\v"}, {'\f', "\\f"}, {'\r', "\\r"}};

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) ||
           (byte >= 0x81 && byte <= 0xFE);
}

std::string Escaped(char byte) {
    for (const NamedEscape& named : NAMED_ESCAPES) {
        if (named.byte == byte) return named.escape;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(byte));
    return escape;
}

}  // namespace

std::string PrintableText(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        bool pair = i + 1 < text.size() && IsLeadByte(byte) &&
                    IsTrailByte(static_cast<unsigned char>(text[i + 1]));
        if (pair) {
            shown.append(text, i, 2);
            ++i;
        } else if (byte >= 0x20 && byte < DELETE) {
            shown += text[i];
        } else {
            shown += Escaped(text[i]);
        }
    }
    return shown;
}
