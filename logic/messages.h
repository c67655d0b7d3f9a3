// The texts the program shows: the console's messages in Korean and in
// English (message_list.inc), the status bar's texts and the window's font.
#pragma once

enum class Language { Korean, English };

enum Message : int {
#define MESSAGE(name, korean, english) name,
#include "logic/message_list.inc"
#undef MESSAGE
    MESSAGE_COUNT
};

// The message's printf format in the language: Korean texts are code page
// 949 bytes, English ones ASCII.
const char* MessageText(Message message, Language language);

constexpr const char STATUS_CONNECTED[] = " Connected USB Keyboard Module - QX%X";
constexpr const char STATUS_REMOVED[] = " Removed USB Keyboard Module";

// The face name of both window fonts, "굴림".
constexpr const char FONT_FACE[] = "\xB1\xBC\xB8\xB2";
