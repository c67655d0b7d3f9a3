// The text of a keyboard data file: two lines of eight hexadecimal key code
// words, the normal layer and then the shift layer.
#pragma once

#include <cstddef>

// The reader looks at no more than the first 512 bytes of a file.
constexpr size_t KEY_TEXT_READ_LIMIT = 512;

// Room for the longest text the writer makes (sixteen values of eight digits)
// and its terminator.
constexpr size_t KEY_TEXT_SIZE = 147;

// Sets all sixteen entries of the key table from a file's bytes. Only the
// first KEY_TEXT_READ_LIMIT bytes count, and of those only the ones before the
// first zero byte; bytes is never read at or past length. A line ends at LF or
// CR LF, or else at the end of the text; a missing line is taken as empty, and
// every slot that gets no value becomes 0.
void ParseKeyText(const char* bytes, size_t length);

// Writes both layers of the key table as two lines ending in CR LF, each value
// upper-case hexadecimal of at least four digits (a negative entry as its
// unsigned 32-bit pattern), and a terminator. Returns the text's length without
// the terminator, or 0 when it does not fit in size bytes.
size_t FormatKeyText(char* out, size_t size);
