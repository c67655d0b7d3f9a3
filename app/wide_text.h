// Conversions between the program's code page 949 texts and the wide texts
// of the window system.
#pragma once

#include <cstddef>
#include <string>

std::wstring WideFromCp949(const char* text);

// Writes at most size - 1 bytes and a terminator into text, never splitting
// a character; returns false when the whole text did not fit.
bool Cp949FromWide(const wchar_t* wide, char* text, size_t size);
