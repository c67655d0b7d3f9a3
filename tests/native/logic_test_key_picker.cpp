// The key picker's modifier logic and what a click on a key picks, over a
// recording dialog that shows and hides its controls as told.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "logic/key_picker_logic.h"

namespace {

constexpr int LEFT_CTRL = 1068, LEFT_CTRL_TWIN = 1089;
constexpr int LEFT_SHIFT = 1056, LEFT_SHIFT_TWIN = 1000;
constexpr int RIGHT_ALT = 1073, RIGHT_ALT_TWIN = 1092;
constexpr int KEY_BACKSPACE = 1029;
constexpr int KEY_LEFT_ARROW = 1083;
constexpr int KEYPAD_1 = 1107;

class RecordingPicker : public KeyPickerView {
public:
    void ShowKey(int id, bool shown) override { this->shown[id] = shown; }
    void CaptionOf(int id, char* caption, size_t size) override {
        std::snprintf(caption, size, "%s", captions[id].c_str());
    }
    void EndPick(int32_t code) override {
        ++ends;
        picked = code;
    }

    std::map<int, bool> shown;  // as last told, for the controls told about
    std::map<int, std::string> captions;
    int ends = 0;
    int32_t picked = -1;
};

class KeyPickerTest : public ::testing::Test {
protected:
    void SetUp() override { OpenKeyPicker(picker); }

    int32_t Click(int id, const char* caption = "") {
        picker.captions[id] = caption;
        ClickPickerControl(picker, id);
        return picker.picked;
    }

    bool Shown(int id) { return picker.shown.at(id); }

    RecordingPicker picker;
};

TEST_F(KeyPickerTest, OpeningHidesEveryTwin) {
    std::map<int, bool> expected;
    for (int twin : {1000, 1001, 1089, 1090, 1091, 1092}) expected[twin] = false;
    EXPECT_EQ(picker.shown, expected);
}

TEST_F(KeyPickerTest, AModifierShowsItsTwinAndOkWhileItIsTheOnlyOneHeld) {
    Click(LEFT_CTRL);
    EXPECT_FALSE(Shown(LEFT_CTRL));
    EXPECT_TRUE(Shown(LEFT_CTRL_TWIN));
    EXPECT_TRUE(Shown(PICKER_OK));
    Click(LEFT_SHIFT);
    EXPECT_TRUE(Shown(LEFT_SHIFT_TWIN));
    EXPECT_FALSE(Shown(PICKER_OK)) << "two held";
    Click(LEFT_CTRL_TWIN);
    EXPECT_TRUE(Shown(LEFT_CTRL));
    EXPECT_FALSE(Shown(LEFT_CTRL_TWIN));
    EXPECT_TRUE(Shown(PICKER_OK)) << "left Shift alone again";
    EXPECT_EQ(picker.ends, 0);
    EXPECT_EQ(Click(1044, "A"), 0x0204);
}

TEST_F(KeyPickerTest, OkPicksTheLoneModifierKeyWithoutItsBit) {
    Click(RIGHT_ALT);
    EXPECT_EQ(Click(PICKER_OK), 0x00E6);
    EXPECT_EQ(picker.ends, 1);
}

TEST_F(KeyPickerTest, OkWithNoneOrTwoModifiersHeldHidesItselfAndGoesOn) {
    Click(PICKER_OK);
    EXPECT_EQ(picker.ends, 0);
    EXPECT_FALSE(Shown(PICKER_OK));
    Click(LEFT_CTRL);
    Click(RIGHT_ALT);
    Click(PICKER_OK);
    EXPECT_EQ(picker.ends, 0);
    EXPECT_TRUE(Shown(RIGHT_ALT_TWIN));
    Click(RIGHT_ALT_TWIN);
    EXPECT_EQ(Click(PICKER_OK), 0x00E0);
}

TEST_F(KeyPickerTest, CancelPicksNothing) {
    Click(LEFT_CTRL);
    EXPECT_EQ(Click(PICKER_CANCEL), 0);
    EXPECT_EQ(picker.ends, 1);
}

TEST_F(KeyPickerTest, ReopeningForgetsTheHeldModifiers) {
    Click(LEFT_CTRL);
    Click(PICKER_CANCEL);
    OpenKeyPicker(picker);
    EXPECT_EQ(Click(1044, "A"), 0x0004);
}

TEST_F(KeyPickerTest, KeysPickTheUsageTheirCaptionNames) {
    const struct {
        const char* caption;
        int usage;
    } cases[] = {
        {"Q", 0x14},
        {"!\n1", 0x1E},
        {"&&\n7", 0x24},
        {"|\n\\", 0x31},
        {"\"\n'", 0x34},
        {"Caps Lock", 0x39},
        {"Print\nScreen", 0x46},
        {"Scroll\nLock", 0x47},
        {"Num\nLock", 0x53},
        {"\xA1\xE7", 0x50},
        {"\xC7\xD1\xC0\xDA", 0x91},
    };
    for (const auto& c : cases) {
        OpenKeyPicker(picker);
        EXPECT_EQ(Click(1031, c.caption), c.usage) << c.caption;
    }
}

TEST_F(KeyPickerTest, FixedKeysPickByTheirIdWhateverTheCaption) {
    EXPECT_EQ(Click(KEY_LEFT_ARROW, "\xA1\xE7"), 0x50);
    OpenKeyPicker(picker);
    EXPECT_EQ(Click(KEY_BACKSPACE, "\xA1\xE7"), 0x2A) << "Backspace shows the left arrow";
    OpenKeyPicker(picker);
    Click(LEFT_CTRL);
    EXPECT_EQ(Click(KEYPAD_1, "1"), 0x0159) << "the keypad's 1, not the number row's";
}

}  // namespace
