// Conversions between the program's code page 949 texts and the wide texts
// of the window system.
#pragma once

#include <cstddef>
#include <string>

std::wstring WideFromCp949(const char* text);

// Writes at most size - 1 bytes and a terminator into text, never splitting
// a character; returns false when the whole text did not fit. A text with a
// character that code page 949 lacks is never converted to a look-alike: it
// leaves text empty and returns false.
bool Cp949FromWide(const wchar_t* wide, char* text, size_t size);
