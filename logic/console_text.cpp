#include "logic/console_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr Language LANGUAGES[] = {Language::Korean, Language::English};

char g_texts[std::size(LANGUAGES)][CONSOLE_TEXT_SIZE];

char* TextIn(Language language) {
    return g_texts[static_cast<int>(language)];
}

void FormatAt(char* text, size_t offset, const char* format, va_list args) {
    if (offset >= CONSOLE_TEXT_SIZE - 1) return;
    std::vsnprintf(text + offset, CONSOLE_TEXT_SIZE - offset, format, args);
}

void FormatAtWith(char* text, size_t offset, const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatAt(text, offset, format, args);
    va_end(args);
}

// Formats one text into each language's text, at the start or after what
// the text holds.
void FormatEach(bool append, const char* format, va_list args) {
    for (Language language : LANGUAGES) {
        char* text = TextIn(language);
        va_list copy;
        va_copy(copy, args);
        FormatAt(text, append ? std::strlen(text) : 0, format, copy);
        va_end(copy);
    }
}

// Formats the message in each language into that language's text, at the
// start or after what the text holds.
void FormatMessage(Message message, bool append, int first, int second) {
    for (Language language : LANGUAGES) {
        char* text = TextIn(language);
        FormatAtWith(text, append ? std::strlen(text) : 0, MessageText(message, language), first,
                     second);
    }
}

}  // namespace

const char* g_consoleText = g_texts[0];

void UseLanguage(Language language) {
    g_consoleText = TextIn(language);
}

void ReplaceConsoleText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatEach(false, format, args);
    va_end(args);
}

void AppendConsoleText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatEach(true, format, args);
    va_end(args);
}

void ReplaceConsoleText(Message message, int first, int second) {
    FormatMessage(message, false, first, second);
}

void AppendConsoleText(Message message, int first, int second) {
    FormatMessage(message, true, first, second);
}

void ClearConsoleText() {
    for (Language language : LANGUAGES) TextIn(language)[0] = '\0';
}
