// The console text: the whole text the console box shows. A message either
// replaces it or is appended to it; neither ever writes past its 2,048 bytes.
#pragma once

#include <cstddef>

constexpr size_t CONSOLE_TEXT_SIZE = 2048;

extern char g_consoleText[CONSOLE_TEXT_SIZE];

void ReplaceConsoleText(const char* format, ...);
void AppendConsoleText(const char* format, ...);
