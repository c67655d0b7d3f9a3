// Hexadecimal digits and the number parse used for the values of a keyboard
// data file.
#pragma once

#include <cstdint>

// The value of a hexadecimal digit 0-9, A-F, a-f, or -1 for any other character.
int HexDigitValue(char c);

// Parses a hexadecimal number from the text [begin, end), never looking at
// end or beyond: leading white space (blank, tab, LF, VT, FF, CR), an optional
// "+" or "-", an optional "0x" or "0X", then the digits 0-9, A-F, a-f up to
// the first other character. No digits gives 0. A magnitude beyond the signed
// 32-bit range gives INT32_MAX, or INT32_MIN after a minus sign.
int32_t ParseHexValue(const char* begin, const char* end);
