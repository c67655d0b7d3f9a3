// Slots and keys as the command line names them, and the nearest names
// offered for a key that is not known.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/key_parse.h"
#include "model/key_names.h"
#include "model/key_table.h"

namespace {

TEST(CliKeys, SlotsOfBothLayers) {
    const struct {
        const char* text;
        int layer;
        int slot;
    } good[] = {{"1", LAYER_NORMAL, 1},
                {"8", LAYER_NORMAL, 8},
                {"shift:1", LAYER_SHIFT, 1},
                {"SHIFT:8", LAYER_SHIFT, 8},
                {"Shift:3", LAYER_SHIFT, 3}};
    for (const auto& c : good) {
        SlotName slot = {-1, -1};
        EXPECT_TRUE(ParseSlot(c.text, &slot)) << c.text;
        EXPECT_EQ(slot.layer, c.layer) << c.text;
        EXPECT_EQ(slot.slot, c.slot) << c.text;
    }
    for (const char* bad : {"0", "9", "", "shift:", "shift:0", "shift:9", "11", "shift3", "s:1",
                            " 1", "1 ", "shift:12"}) {
        SlotName slot = {-1, -1};
        EXPECT_FALSE(ParseSlot(bad, &slot)) << bad;
        EXPECT_EQ(slot.layer, -1) << bad;
    }
    EXPECT_EQ(SlotNameOfIndex(0), "1");
    EXPECT_EQ(SlotNameOfIndex(7), "8");
    EXPECT_EQ(SlotNameOfIndex(8), "shift:1");
    EXPECT_EQ(SlotNameOfIndex(15), "shift:8");
}

TEST(CliKeys, NamesWithModifierPrefixesInAnyCase) {
    const struct {
        const char* text;
        int32_t code;
    } cases[] = {
        {"A", 0x0004},
        {"a", 0x0004},
        {"Ctrl+C", 0x0106},
        {"ctrl+shift+alt+q", 0x0714},
        {"RCtrl+RShift+RAlt+Q", 0x7014},
        {"Ctrl+RCtrl+C", 0x1106},
        {"Shift+Shift+A", 0x0204},
        {"enter", 0x0028},
        {"print screen", 0x0046},
        {"Alt+F4", 0x043D},
        {"Back Space", 0x002A},
        {"+", 0x0057},
        {"Ctrl++", 0x0157},
        {"*", 0x0055},
        {"1", 0x001E},
        {"/", 0x0038},
        {"Right Alt", 0x00E6},
        {"left ctrl", 0x00E0},
        {"\xC7\xD1\xC0\xDA", 0x0091},
        {"Alt+\xC7\xD1/\xBF\xB5", 0x0490},
        {"\xA1\xE7", 0x0050},
        {"Escape", 0x0029},
        {"Control+Delete", 0x014C},
        {"pagedown", 0x004E},
        {"Page Up", 0x004B},
        {"backspace", 0x002A},
        {"RightAlt", 0x00E6},
        {"Shift+Left", 0x0250},
        {"Hangul", 0x0090},
    };
    for (const auto& c : cases) {
        int32_t code = -1;
        std::string fault;
        EXPECT_TRUE(ParseKey(c.text, &code, &fault)) << c.text << ": " << fault;
        EXPECT_EQ(code, c.code) << c.text;
        EXPECT_TRUE(fault.empty()) << c.text;
    }
}

TEST(CliKeys, EveryOtherNameStandsForAKeyName) {
    for (const std::string& alias : KeyAliasNames()) {
        int32_t code = 0;
        std::string fault;
        EXPECT_TRUE(ParseKey(alias, &code, &fault)) << alias << ": " << fault;
        EXPECT_EQ(std::count(OfferedKeyNames().begin(), OfferedKeyNames().end(), alias), 0);
    }
}

TEST(CliKeys, UnknownNamesAndModifiersAreRefusedWithTheNearestNames) {
    const struct {
        const char* text;
        const char* fault;
    } cases[] = {
        {"Entr", "unknown key \"Entr\"; nearest: \"Enter\", \"End\", \"E\""},
        {"Ctrl+Escp", "unknown key \"Escp\"; nearest: \"Esc\", \"C\", \"E\""},
        {"pgup2", "unknown key \"pgup2\"; nearest: \"PgUp\", \"Pause\", \"PgDn\""},
        {"Left GUI",
         "unknown key \"Left GUI\"; nearest: \"Left Alt\", \"Left Ctrl\", \"Left Shift\""},
        {"Ctlr+C",
         "unknown modifier \"Ctlr\" in \"Ctlr+C\"; nearest: \"Ctrl\", \"Alt\", \"RCtrl\""},
        {"Win+D", "unknown modifier \"Win\" in \"Win+D\"; nearest: \"Alt\", \"Ctrl\", \"Shift\""},
        {"Ctrl+", "no key name after \"Ctrl+\""},
        {"", "no key name after \"\""},
        {"+A", "unknown modifier \"\" in \"+A\"; nearest: \"Alt\", \"Ctrl\", \"RAlt\""},
    };
    for (const auto& c : cases) {
        int32_t code = -1;
        std::string fault;
        EXPECT_FALSE(ParseKey(c.text, &code, &fault)) << c.text;
        EXPECT_EQ(fault, c.fault);
        EXPECT_EQ(code, -1) << c.text;
    }
}

TEST(CliKeys, OfferedNamesAreTheSearchableNamesOnceAndTheLoneModifiers) {
    const std::vector<std::string>& names = OfferedKeyNames();
    ASSERT_EQ(names.size(), 83u + 6u);
    EXPECT_EQ(names.front(), "A");
    EXPECT_EQ(names[82], "\xC7\xD1\xC0\xDA");
    EXPECT_EQ(names[83], "Left Ctrl");
    EXPECT_EQ(names.back(), "Right Alt");
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) EXPECT_NE(names[i], names[j]);
    }
}

}  // namespace
