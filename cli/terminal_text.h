// The program's code page 949 texts at the edge: UTF-8 for terminals,
// pipes and files, and the command line's texts in code page 949.
#pragma once

#include <string>

#include "cli/console.h"

// The text in UTF-8; a byte that is no code page 949 character becomes "?".
std::string Utf8FromCp949(const std::string& text);

#ifdef _WIN32
#include <cwchar>

std::wstring WideFromCp949(const std::string& text);
// Not exact when a character has no code in code page 949.
Argument Cp949FromWide(const wchar_t* wide);
#else
// Not exact when a character has no code in code page 949, or the text is
// no UTF-8.
Argument Cp949FromUtf8(const std::string& text);
#endif
