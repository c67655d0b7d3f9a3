#include "files/kbd_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "model/key_table.h"

namespace {

using Layer = std::array<int32_t, SLOT_COUNT>;

// A value no file in these tests holds, so that every slot a parse sets is seen.
constexpr int32_t UNTOUCHED = 0x5A5A;

const Layer EMPTY_LAYER = {};

void FillTable(int32_t value) {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), value);
    }
}

Layer LayerOf(int layer) {
    Layer values;
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) values[slot - 1] = GetKeyCode(layer, slot);
    return values;
}

void SetLayer(int layer, const Layer& values) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) SetKeyCode(layer, slot, values[slot - 1]);
}

void Parse(const std::string& text) {
    ParseKeyText(text.data(), text.size());
}

std::string Format() {
    char text[KEY_TEXT_SIZE];
    size_t length = FormatKeyText(text, sizeof text);
    return std::string(text, length);
}

const char EXAMPLE_TEXT[] =
    "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
    "0000 0000 0000 0000 0000 0000 0000 0028\r\n";
const Layer EXAMPLE_NORMAL = {0x0106, 0x0004, 0, 0, 0, 0, 0, 0};
const Layer EXAMPLE_SHIFT = {0, 0, 0, 0, 0, 0, 0, 0x0028};

class KeyTextTest : public ::testing::Test {
protected:
    void SetUp() override { FillTable(UNTOUCHED); }
};

TEST_F(KeyTextTest, WriterMakesTwoLinesOfFourDigitUpperCaseValues) {
    ClearKeyTable();
    std::string empty = Format();
    EXPECT_EQ(empty.size(), 82u);
    EXPECT_EQ(empty,
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n");

    SetLayer(LAYER_NORMAL, EXAMPLE_NORMAL);
    SetLayer(LAYER_SHIFT, EXAMPLE_SHIFT);
    EXPECT_EQ(Format(), EXAMPLE_TEXT);
}

TEST_F(KeyTextTest, WriterGivesWideAndNegativeValuesAllTheirDigits) {
    ClearKeyTable();
    SetLayer(LAYER_NORMAL, {0x12345, -1, INT32_MIN, INT32_MAX, 0xabcdef, 0x7714, 0xFFFF, 0x0804});
    std::string text = Format();
    EXPECT_EQ(text,
              "12345 FFFFFFFF 80000000 7FFFFFFF ABCDEF 7714 FFFF 0804\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n");

    FillTable(-1);
    text = Format();
    EXPECT_EQ(text.size(), KEY_TEXT_SIZE - 1);
}

TEST_F(KeyTextTest, WriterStaysWithinItsBuffer) {
    ClearKeyTable();
    char text[100];
    std::memset(text, 'Z', sizeof text);
    EXPECT_EQ(FormatKeyText(text, 0), 0u);
    EXPECT_EQ(text[0], 'Z');
    EXPECT_EQ(FormatKeyText(text, 40), 0u);  // line 1 does not fit
    EXPECT_EQ(FormatKeyText(text, 82), 0u);  // the terminator does not fit
    for (size_t i = 82; i < sizeof text; ++i) EXPECT_EQ(text[i], 'Z') << i;
    EXPECT_EQ(FormatKeyText(text, 83), 82u);
    EXPECT_EQ(text[82], '\0');
}

TEST_F(KeyTextTest, SixteenBitTableSurvivesWriteAndRead) {
    const Layer normal = {0x0000, 0xFFFF, 0x8000, 0x7714, 0x00E6, 0x2204, 0x0804, 0x0001};
    const Layer shift = {0x0106, 0x00FF, 0x0100, 0x4000, 0x1234, 0xABCD, 0x0028, 0xFFFE};
    SetLayer(LAYER_NORMAL, normal);
    SetLayer(LAYER_SHIFT, shift);
    std::string first = Format();
    EXPECT_EQ(first.size(), 82u);

    FillTable(UNTOUCHED);
    Parse(first);
    EXPECT_EQ(LayerOf(LAYER_NORMAL), normal);
    EXPECT_EQ(LayerOf(LAYER_SHIFT), shift);
    EXPECT_EQ(Format(), first);
}

TEST_F(KeyTextTest, WideValuesReadBackAndNegativeOnesComeBackClamped) {
    ClearKeyTable();
    SetLayer(LAYER_NORMAL, {0x12345, INT32_MAX, -1, INT32_MIN, 0, 0, 0, 0});
    Parse(Format());
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{0x12345, INT32_MAX, INT32_MAX, INT32_MAX, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, ReaderFillsBothLayersInSlotOrder) {
    Parse(EXAMPLE_TEXT);
    EXPECT_EQ(LayerOf(LAYER_NORMAL), EXAMPLE_NORMAL);
    EXPECT_EQ(LayerOf(LAYER_SHIFT), EXAMPLE_SHIFT);
}

TEST_F(KeyTextTest, MissingValuesAndLinesBecomeZero) {
    Parse("0004 0005\r\n0001 0002 0003 0004 0005 0006 0007 0008\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{1, 2, 3, 4, 5, 6, 7, 8}));

    FillTable(UNTOUCHED);
    Parse("0001 0002 0003 0004 0005 0006 0007 0008\r\n\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), EMPTY_LAYER);

    FillTable(UNTOUCHED);
    ParseKeyText(nullptr, 0);
    EXPECT_EQ(LayerOf(LAYER_NORMAL), EMPTY_LAYER);
    EXPECT_EQ(LayerOf(LAYER_SHIFT), EMPTY_LAYER);
}

TEST_F(KeyTextTest, ValuesBeyondTheEighthAndLinesBeyondTheSecondAreIgnored) {
    Parse(
        "0001 0002 0003 0004 0005 0006 0007 0008 0009 000A\r\n"
        "0011 0012 0013 0014 0015 0016 0017 0018 0019\r\n"
        "0021 0022\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18}));
}

TEST_F(KeyTextTest, ValueParseStopsAtTheLineEnd) {
    Parse("0004 \r\n0007\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{7, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, ReaderTakesLowerCaseSignsPrefixesAndClampsTheRange) {
    Parse("00e0 0xE0 0XE0 -1 80000000 -80000001 -80000000 12345\r\n\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL),
              (Layer{0xE0, 0xE0, 0xE0, -1, INT32_MAX, INT32_MIN, INT32_MIN, 0x12345}));
}

TEST_F(KeyTextTest, TextThatIsNotHexadecimalGivesZero) {
    Parse("KEY 0004 zz\t0005\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{0, 4, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, RunsOfTwoOrThreeBlanksBecomeLeadingZeros) {
    Parse("0004  0005\r\n0004   0005\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));

    Parse("0004    0005\r\n\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 0, 5, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, LeadingBlankTakesTheFirstValueTwice) {
    Parse(" 0004 0005\r\n\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 4, 5, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, OnlyTwentyRunsOfEachLengthAreRewritten) {
    std::string twentyTriples;
    std::string twentyPairs;
    for (int i = 0; i < 20; ++i) {
        twentyTriples += "   X";
        twentyPairs += "  X";
    }
    const std::string fullLine = "0001 0002 0003 0004 0005 0006 0007 0008";

    // The twenty-first run of three is left to the pass over pairs: " 0 " instead of " 00".
    Parse(fullLine + twentyTriples + "\r\n0001   0002\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{1, 0, 2, 0, 0, 0, 0, 0}));

    // The twenty-first pair stays two blanks, so the value after it is taken twice.
    Parse(fullLine + twentyPairs + "\r\n0001  0002\r\n");
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{1, 2, 2, 0, 0, 0, 0, 0}));

    // With nineteen runs before it, the pair between the values is the twentieth and rewritten.
    twentyPairs.resize(twentyPairs.size() - 3);
    Parse(fullLine + twentyPairs + "\r\n0001  0002\r\n");
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{1, 2, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, ZeroByteEndsTheText) {
    Parse(std::string("0004 0005\0 0006\r\n0007\r\n", 23));
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), EMPTY_LAYER);
}

TEST_F(KeyTextTest, BytesAfterTheFirst512AreIgnored) {
    // Line 2's second value is split by the limit: "12" before it, "3" after.
    std::string text = "0001\r\n0002 ";
    text.append(KEY_TEXT_READ_LIMIT - 2 - text.size(), '\t');
    text += "123\r\n";
    Parse(text);
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{2, 0x12, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, LineFeedAloneEndsALine) {
    Parse("0004 0005\n0006\n0007\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{6, 0, 0, 0, 0, 0, 0, 0}));

    Parse("0004\r\n0006 0007\n0008\r\n");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{6, 7, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyTextTest, LastLineWithoutLineEndRunsToTheEndOfTheText) {
    Parse("0004 0005");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), EMPTY_LAYER);

    Parse("0004\r\n0005 0006");
    EXPECT_EQ(LayerOf(LAYER_NORMAL), (Layer{4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayerOf(LAYER_SHIFT), (Layer{5, 6, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
