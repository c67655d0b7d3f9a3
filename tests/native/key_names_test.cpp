#include "model/key_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Display(int32_t code) {
    char text[DISPLAY_TEXT_SIZE];
    std::memset(text, 'x', sizeof text);
    FormatKeyCode(code, text, sizeof text);
    return text;
}

TEST(KeyName, NamesEveryUsageOfTheTable) {
    EXPECT_STREQ(KeyName(0x04), "A");
    EXPECT_STREQ(KeyName(0x1D), "Z");
    EXPECT_STREQ(KeyName(0x1E), "1");
    EXPECT_STREQ(KeyName(0x27), "0");
    EXPECT_STREQ(KeyName(0x2A), "Back Space");
    EXPECT_STREQ(KeyName(0x31), "\\");
    EXPECT_STREQ(KeyName(0x43), "F10");
    EXPECT_STREQ(KeyName(0x45), "F12");
    EXPECT_STREQ(KeyName(0x4F), "\xA1\xE6");
    EXPECT_STREQ(KeyName(0x52), "\xA1\xE8");
    EXPECT_STREQ(KeyName(0x62), "0");
    EXPECT_STREQ(KeyName(0x63), ".");
    EXPECT_STREQ(KeyName(0x90), "\xC7\xD1/\xBF\xB5");
    EXPECT_STREQ(KeyName(0x91), "\xC7\xD1\xC0\xDA");
    EXPECT_STREQ(KeyName(0xE6), "Right Alt");
    int named = 0;
    size_t longest = 0;
    for (int usage = 0; usage < 256; ++usage) {
        size_t length = std::strlen(KeyName(usage));
        if (length > 0) ++named;
        if (length > longest) longest = length;
    }
    EXPECT_EQ(named, 103);
    EXPECT_EQ(longest, std::strlen("Print Screen"));
    for (int usage : {0x00, 0x03, 0x32, 0x64, 0x8F, 0x92, 0xDF, 0xE3, 0xE7, 0xFF}) {
        EXPECT_STREQ(KeyName(usage), "") << usage;
    }
}

TEST(FindUsageByName, FindsTheFirstEntryBelowTheSearchCount) {
    EXPECT_EQ(FindUsageByName("1"), 0x1E);
    EXPECT_EQ(FindUsageByName("Enter"), 0x28);
    EXPECT_EQ(FindUsageByName("/"), 0x38);
    EXPECT_EQ(FindUsageByName("*"), 0x55);
    EXPECT_EQ(FindUsageByName("Print Screen"), 0x46);
    EXPECT_EQ(FindUsageByName("\xA1\xE7"), 0x50);
    EXPECT_EQ(FindUsageByName("\xC7\xD1\xC0\xDA"), 0x91);
    EXPECT_EQ(FindUsageByName(""), 0);
}

TEST(FindUsageByName, GivesTheSearchCountForAnythingElse) {
    for (const char* text :
         {"Right Alt", "Left Ctrl", "print screen", "Pause Break", "Ctrl", "Enter ", "F13"}) {
        EXPECT_EQ(FindUsageByName(text), NAME_SEARCH_COUNT) << text;
    }
}

TEST(FormatKeyCode, WritesPrefixesInFixedOrderThenTheName) {
    EXPECT_EQ(Display(0), "");
    EXPECT_EQ(Display(0x0004), "<A>");
    EXPECT_EQ(Display(0x0106), "<Ctrl><C>");
    EXPECT_EQ(Display(0x1106), "<Ctrl><C>");
    EXPECT_EQ(Display(0x2204), "<Shift><A>");
    EXPECT_EQ(Display(0x7714), "<Ctrl><Shift><Alt><Q>");
    EXPECT_EQ(Display(0x4428), "<Alt><Enter>");
    EXPECT_EQ(Display(0x00E6), "<Right Alt>");
    EXPECT_EQ(Display(0x0090), "<\xC7\xD1/\xBF\xB5>");
    EXPECT_EQ(Display(0x0050), "<\xA1\xE7>");
    EXPECT_EQ(Display(0x0059), "<1>");
    EXPECT_EQ(Display(0x0058), "<Enter>");
}

TEST(FormatKeyCode, ShowsNothingForGuiBitsOrUnnamedUsages) {
    EXPECT_EQ(Display(0x0032), "<>");
    EXPECT_EQ(Display(0x00E3), "<>");
    EXPECT_EQ(Display(0x0100), "<Ctrl><>");
    EXPECT_EQ(Display(0x0800), "<>");
    EXPECT_EQ(Display(0x0804), "<A>");
    EXPECT_EQ(Display(0x12345), "<Ctrl><Shift><F12>");
}

TEST(FormatKeyCode, LongestTextFillsTheStoreExactly) {
    EXPECT_EQ(Display(0x0746), "<Ctrl><Shift><Alt><Print Screen>");
    EXPECT_EQ(Display(0x0746).size(), 32u);
    EXPECT_EQ(Display(0x0747).size(), 31u);
}

TEST(FormatKeyCode, StaysWithinItsBoundForEveryValue) {
    for (int32_t code : {INT32_MIN, -1, 0x7FFFFFFF, 0xFFFF, 0x10000, -0x0746}) {
        char text[DISPLAY_TEXT_SIZE + 4];
        std::memset(text, '#', sizeof text);
        FormatKeyCode(code, text, DISPLAY_TEXT_SIZE);
        EXPECT_LE(std::strlen(text), DISPLAY_TEXT_SIZE - 1) << code;
        for (size_t i = DISPLAY_TEXT_SIZE; i < sizeof text; ++i) EXPECT_EQ(text[i], '#');
    }
    char small[8];
    FormatKeyCode(0x0746, small, sizeof small);
    EXPECT_STREQ(small, "<Ctrl><");
}

}  // namespace
