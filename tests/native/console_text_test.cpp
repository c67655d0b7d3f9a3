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

TEST(ConsoleText, AppendingNeverWritesPastTheBuffer) {
    std::string line(100, 'x');
    ReplaceConsoleText("%s", "");
    for (int i = 0; i < 40; ++i) AppendConsoleText("%s", line.c_str());
    EXPECT_EQ(std::strlen(g_consoleText), CONSOLE_TEXT_SIZE - 1);
    AppendConsoleText("%s", "more");
    EXPECT_EQ(std::strlen(g_consoleText), CONSOLE_TEXT_SIZE - 1);
    EXPECT_EQ(g_consoleText[CONSOLE_TEXT_SIZE - 2], 'x');
}

}  // namespace
