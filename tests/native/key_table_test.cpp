#include "model/key_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class KeyTableTest : public ::testing::Test {
protected:
    void SetUp() override { ClearKeyTable(); }
};

TEST_F(KeyTableTest, SlotsOfTheTwoLayersAreSeparateEntries) {
    SetKeyCode(LAYER_NORMAL, 3, 0x0106);
    SetKeyCode(LAYER_SHIFT, 3, 0x0004);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 3), 0x0106);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 3), 0x0004);
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        if (slot == 3) continue;
        EXPECT_EQ(GetKeyCode(LAYER_NORMAL, slot), 0) << slot;
        EXPECT_EQ(GetKeyCode(LAYER_SHIFT, slot), 0) << slot;
    }
}

TEST_F(KeyTableTest, TableIndexRunsThroughNormalThenShiftSlots) {
    SetKeyCode(LAYER_SHIFT, 3, 0x0028);
    int found = -1;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        if (GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)) == 0x0028) found = index;
    }
    EXPECT_EQ(found, 10);
    EXPECT_EQ(LayerOfIndex(7), LAYER_NORMAL);
    EXPECT_EQ(SlotOfIndex(7), 8);
    EXPECT_EQ(LayerOfIndex(8), LAYER_SHIFT);
    EXPECT_EQ(SlotOfIndex(8), 1);
}

TEST_F(KeyTableTest, ClearingTouchesOnlyItsEntryAndNewClearsAll) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        SetKeyCode(LAYER_NORMAL, slot, 0x0100 + slot);
        SetKeyCode(LAYER_SHIFT, slot, 0x0200 + slot);
    }
    ClearKeyCode(LAYER_SHIFT, 1);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 0);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0101);
    ClearKeyTable();
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)), 0) << index;
    }
}

TEST_F(KeyTableTest, EntriesKeepValuesBeyondSixteenBits) {
    SetKeyCode(LAYER_NORMAL, 1, 0x12345);
    SetKeyCode(LAYER_NORMAL, 2, -1);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x12345);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), -1);
}

TEST(KeyCodeWord, SplitsIntoModifierByteAndUsage) {
    EXPECT_EQ(UsageOf(0x2204), 0x04);
    EXPECT_EQ(ModifiersOf(0x2204), 0x22);
    EXPECT_EQ(ModifiersOf(0x12345), 0x23);
    EXPECT_EQ(UsageOf(0x12345), 0x45);
    EXPECT_EQ(MakeKeyCode(0x77, 0x14), 0x7714);
}

TEST(RowLabels, PinSetForEveryModelButTheQx206) {
    const char* const pins[ROW_LABEL_COUNT] = {
        "Pin No.  1  [ GND ] ", "Pin No.  2 ", "Pin No.  3 ", "Pin No.  4 ", "Pin No.  5 ",
        "Pin No.  6 ",          "Pin No.  7 ", "Pin No.  8 ", "Pin No.  9 ", "Pin No. 10 "};
    for (int model : {0, MODEL_QX209, 0x207}) {
        for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
            EXPECT_STREQ(RowLabel(model, k), pins[k]) << model << " " << k;
        }
    }
}

TEST(RowLabels, WireColourSetForTheQx206WithEveryBlank) {
    const char* const wires[ROW_LABEL_COUNT] = {"> Shield    [ GND ]   ",
                                                "> Black     ",
                                                "> Red       ",
                                                "> Yellow   ",
                                                "> Green    ",
                                                "> Blue      ",
                                                "> White     ",
                                                "   Not Use ",
                                                "   Not Use ",
                                                "                                        "};
    const size_t lengths[ROW_LABEL_COUNT] = {22, 12, 12, 11, 11, 12, 12, 11, 11, 40};
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        EXPECT_STREQ(RowLabel(MODEL_QX206, k), wires[k]) << k;
        EXPECT_EQ(std::strlen(RowLabel(MODEL_QX206, k)), lengths[k]) << k;
    }
    EXPECT_EQ(std::strlen(RowLabel(0, 0)), 20u);
}

}  // namespace
