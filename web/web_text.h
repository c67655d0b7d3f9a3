// Texts from the page into the core: UTF-8 to code page 949.
#pragma once

#include <cstddef>

// Converts a UTF-8 text into code page 949 within size bytes, terminator
// included; false when a character has no code page 949 form or the text
// does not fit, and then out is empty.
bool Cp949FromUtf8(const char* utf8, char* out, size_t size);
