#include "logic/console_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ConsoleText, FormatsReplaceAndAppend) {
    ReplaceConsoleText("\r\n > QX%x\r\n", 0x209);
    EXPECT_STREQ(g_consoleText, "\r\n > QX209\r\n");
    AppendConsoleText(" %04X ", 0x12345);
    EXPECT_STREQ(g_consoleText, "\r\n > QX209\r\n 12345 ");
    ReplaceConsoleText("%s", "new");
    EXPECT_STREQ(g_consoleText, "new");
}

TEST(ConsoleText, AppendingNeverWritesPastTheBufferInEitherLanguage) {
    std::string line(100, 'x');
    ClearConsoleText();
    for (int i = 0; i < 40; ++i) AppendConsoleText("%s", line.c_str());
    AppendConsoleText("%s", "more");
    AppendConsoleText(MSG_READ_DONE);
    for (Language language : {Language::Korean, Language::English}) {
        UseLanguage(language);
        EXPECT_EQ(std::strlen(g_consoleText), CONSOLE_TEXT_SIZE - 1);
        EXPECT_EQ(g_consoleText[CONSOLE_TEXT_SIZE - 2], 'x');
    }
    UseLanguage(Language::Korean);
}

// The page switches its language at any time: the console then shows what
// it showed, in the other language.
TEST(ConsoleText, KeepsTheTextInBothLanguagesForASwitch) {
    ReplaceConsoleText(" > %04X", 0x28);
    AppendConsoleText(MSG_FIRMWARE_VERSION, 1, 2);
    AppendConsoleText(MSG_READ_DONE);
    EXPECT_EQ(g_consoleText, " > 0028\r\n > \xC6\xDF\xBF\xFE\xBE\xEE \xB9\xF6\xC0\xFC 1.2\r\n" +
                                 std::string(MessageText(MSG_READ_DONE, Language::Korean)));
    UseLanguage(Language::English);
    EXPECT_STREQ(g_consoleText,
                 " > 0028\r\n > Firmware version 1.2\r\n\r\n > The data has been read.\r\n");
    UseLanguage(Language::Korean);
}

}  // namespace
