// The console text: the whole text the console box shows. A message either
// replaces it or is appended to it; neither ever writes past its 2,048 bytes.
// The text is kept in both languages at once, so that a front-end can switch
// its language and show the same text in the other one.
#pragma once

#include <cstddef>

#include "logic/messages.h"

constexpr size_t CONSOLE_TEXT_SIZE = 2048;

// The console text in the language in use.
extern const char* g_consoleText;

// Korean until a front-end says otherwise.
void UseLanguage(Language language);

// Texts that read the same in both languages, such as the scan-code dump.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void ReplaceConsoleText(const char* format, ...);
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void AppendConsoleText(const char* format, ...);

// A message of the catalogue with the numbers its format takes.
void ReplaceConsoleText(Message message, int first = 0, int second = 0);
void AppendConsoleText(Message message, int first = 0, int second = 0);

void ClearConsoleText();
