// The key layout that both the picker's dialog and its logic are made from:
// faults in it would show only when a person clicks the wrong key.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "logic/key_layout.h"
#include "logic/key_picker_logic.h"
#include "model/key_names.h"

namespace {

// The caption as the dialog gives it to the logic: in code page 949.
std::string Cp949(const char* utf8) {
    iconv_t converter = iconv_open("CP949", "UTF-8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string in(utf8);
    std::string out(in.size() * 2 + 1, '\0');
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    EXPECT_NE(iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1));
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

// A dialog whose captions are the layout's.
class LayoutPicker : public KeyPickerView {
public:
    void ShowKey(int, bool) override {}
    void CaptionOf(int id, char* caption, size_t size) override {
        std::snprintf(caption, size, "%s", Cp949(FindLayoutKey(id)->caption).c_str());
    }
    void EndPick(int32_t code) override { picked = code; }
    int32_t picked = -1;
};

bool IsModifierControl(const LayoutKey& key) {
    return key.modifierBit != 0;
}

bool IsKey(const LayoutKey& key) {
    return !IsModifierControl(key) && (key.kind == KeyKind::PUSH || key.kind == KeyKind::MULTILINE);
}

TEST(KeyLayout, IdsAreUniqueAndOkAndCancelAreThePickersOwn) {
    std::set<int> ids;
    for (const LayoutKey& key : KEY_LAYOUT) EXPECT_TRUE(ids.insert(key.id).second) << key.id;
    ASSERT_NE(FindLayoutKey(PICKER_OK), nullptr);
    ASSERT_NE(FindLayoutKey(PICKER_CANCEL), nullptr);
    EXPECT_EQ(FindLayoutKey(PICKER_OK)->kind, KeyKind::OK);
    EXPECT_EQ(FindLayoutKey(PICKER_CANCEL)->kind, KeyKind::CANCEL);
    EXPECT_EQ(FindLayoutKey(999), nullptr);
}

TEST(KeyLayout, EveryKeyPicksANamedUsageOfItsOwn) {
    std::map<int, int> keyOfUsage;
    for (const LayoutKey& key : KEY_LAYOUT) {
        if (!IsKey(key)) continue;
        SCOPED_TRACE(key.id);
        LayoutPicker picker;
        OpenKeyPicker(picker);
        ClickPickerControl(picker, key.id);
        int usage = picker.picked;
        EXPECT_GT(usage, 0);
        EXPECT_LT(usage, NAME_SEARCH_COUNT) << "the caption names no key: " << key.caption;
        if (key.fixedUsage == 0) {
            EXPECT_EQ(FindUsageByName(Cp949(key.caption).c_str()) == usage,
                      std::string(key.caption).find('\n') == std::string::npos)
                << "a one-line caption is the key's name, a two-line one is joined first";
        }
        auto [first, isNew] = keyOfUsage.emplace(usage, key.id);
        EXPECT_TRUE(isNew) << "the same usage as key " << first->second;
    }
}

TEST(KeyLayout, EveryModifierHasOneButtonAndOneTwinOnTopOfIt) {
    std::map<int, const LayoutKey*> buttons;
    std::map<int, const LayoutKey*> twins;
    for (const LayoutKey& key : KEY_LAYOUT) {
        if (key.kind == KeyKind::TWIN) {
            EXPECT_TRUE(IsModifierControl(key)) << key.id;
            EXPECT_TRUE(twins.emplace(key.modifierBit, &key).second) << key.id;
        } else if (IsModifierControl(key)) {
            EXPECT_TRUE(buttons.emplace(key.modifierBit, &key).second) << key.id;
        }
    }
    // Ctrl, Shift and Alt on either side; the modifier byte has no others here.
    EXPECT_EQ(buttons.size(), 6u);
    for (int bit : {0x01, 0x02, 0x04, 0x10, 0x20, 0x40}) {
        SCOPED_TRACE(bit);
        ASSERT_EQ(buttons.count(bit), 1u);
        ASSERT_EQ(twins.count(bit), 1u);
        const LayoutKey& button = *buttons[bit];
        const LayoutKey& twin = *twins[bit];
        EXPECT_STREQ(button.caption, twin.caption);
        EXPECT_EQ(button.x, twin.x);
        EXPECT_EQ(button.y, twin.y);
        EXPECT_EQ(button.width, twin.width);
        EXPECT_EQ(button.height, twin.height);
    }
}

TEST(KeyLayout, KeysLieInsideTheDialogWithoutOverlapping) {
    constexpr int DIALOG_WIDTH = 495;
    constexpr int DIALOG_HEIGHT = 146;
    for (const LayoutKey& key : KEY_LAYOUT) {
        SCOPED_TRACE(key.id);
        EXPECT_GT(key.width, 0);
        EXPECT_GT(key.height, 0);
        EXPECT_LE(key.x + key.width, DIALOG_WIDTH);
        EXPECT_LE(key.y + key.height, DIALOG_HEIGHT);
        if (!IsKey(key) && !IsModifierControl(key)) continue;
        for (const LayoutKey& other : KEY_LAYOUT) {
            if (&other == &key || other.kind == KeyKind::TWIN || !IsKey(other)) continue;
            bool apart = key.x + key.width <= other.x || other.x + other.width <= key.x ||
                         key.y + key.height <= other.y || other.y + other.height <= key.y;
            EXPECT_TRUE(apart) << "overlaps " << other.id;
        }
    }
}

}  // namespace
