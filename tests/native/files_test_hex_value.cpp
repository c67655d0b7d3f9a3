#include "files/hex_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

struct HexCase {
    const char* text;
    int32_t expected;
};

int32_t ParseWhole(const char* text) {
    return ParseHexValue(text, text + std::strlen(text));
}

void ExpectAll(const HexCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(ParseWhole(cases[i].text), cases[i].expected) << '"' << cases[i].text << '"';
    }
}

TEST(HexValue, DigitsSignPrefixAndWhiteSpace) {
    const HexCase cases[] = {
        {"00e0", 0xE0},      {"0xE0", 0xE0},
        {"0XE0", 0xE0},      {"00E0", 0xE0},
        {"aBcD", 0xABCD},    {"+1f", 0x1F},
        {"-0x1F", -0x1F},    {"-1", -1},
        {" \t\n\v\f\r7", 7}, {"  -  7", 0},
        {"12 34", 0x12},     {"1G", 1},
        {"0x0x1", 0},        {"00000000000000000001", 1},
        {"-0", 0},
    };
    ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(HexValue, TextWithoutDigitsIsZero) {
    // The last case starts with a code page 949 full-width blank, which is not white space.
    const HexCase cases[] = {
        {"", 0},   {"   ", 0}, {"-", 0},  {"+", 0},
        {"0x", 0}, {"-0X", 0}, {"G1", 0}, {"\xA1\xA1 7", 0},
    };
    ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(HexValue, MagnitudeIsClampedToTheSigned32BitRange) {
    const HexCase cases[] = {
        {"7FFFFFFF", INT32_MAX},
        {"80000000", INT32_MAX},
        {"FFFFFFFF", INT32_MAX},
        {"123456789ABCDEF0123", INT32_MAX},
        {"-7FFFFFFF", -INT32_MAX},
        {"-80000000", INT32_MIN},
        {"-80000001", INT32_MIN},
        {"-FFFFFFFFFFFFFFFFFFFF", INT32_MIN},
        {"12345", 0x12345},
        // Sixteen zeros after the 1 would wrap a 64-bit accumulator to 0.
        {"10000000000000000", INT32_MAX},
        {"-10000000000000001", INT32_MIN},
    };
    ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(HexValue, NeverLooksAtOrPastTheEnd) {
    const char text[] = "  -0x1234";
    EXPECT_EQ(ParseHexValue(text, text + 9), -0x1234);
    EXPECT_EQ(ParseHexValue(text, text + 7), -0x12);
    EXPECT_EQ(ParseHexValue(text, text + 5), 0);  // "0x" cut off before its digits
    EXPECT_EQ(ParseHexValue(text, text + 3), 0);
    EXPECT_EQ(ParseHexValue(text, text), 0);
}

}  // namespace
