#include "logic/console_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

char g_consoleText[CONSOLE_TEXT_SIZE];

namespace {

void FormatAt(size_t offset, const char* format, va_list args) {
    if (offset >= CONSOLE_TEXT_SIZE - 1) return;
    std::vsnprintf(g_consoleText + offset, CONSOLE_TEXT_SIZE - offset, format, args);
}

}  // namespace

void ReplaceConsoleText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatAt(0, format, args);
    va_end(args);
}

void AppendConsoleText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatAt(std::strlen(g_consoleText), format, args);
    va_end(args);
}
