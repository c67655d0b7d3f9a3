#include "files/hex_value.h"

namespace {

// One past the largest magnitude that can still be stored after a minus sign.
constexpr uint64_t MAGNITUDE_CAP = 0x80000001u;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A "0x" without digits after it reads as the digit 0 or as no digits:
// either way the value is 0, so the prefix is skipped whenever it is there.
const char* SkipPrefix(const char* p, const char* end) {
    bool hasPrefix = end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    return hasPrefix ? p + 2 : p;
}

// The magnitude of the digits from p on, held at MAGNITUDE_CAP once it grows past it.
uint64_t ParseMagnitude(const char* p, const char* end) {
    uint64_t magnitude = 0;
    for (; p < end && HexDigitValue(*p) >= 0; ++p) {
        magnitude = magnitude * 16 + static_cast<uint64_t>(HexDigitValue(*p));
        if (magnitude > MAGNITUDE_CAP) magnitude = MAGNITUDE_CAP;
    }
    return magnitude;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int32_t ParseHexValue(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && IsWhiteSpace(*p)) ++p;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    uint64_t magnitude = ParseMagnitude(SkipPrefix(p, end), end);
    if (negative) {
        if (magnitude >= 0x80000000u) return INT32_MIN;
        return -static_cast<int32_t>(magnitude);
    }
    if (magnitude > 0x7FFFFFFFu) return INT32_MAX;
    return static_cast<int32_t>(magnitude);
}
