// The slot buttons, the layer buttons and File > New.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "logic/command_ids.h"
#include "app/window_state.h"
#include "app_harness.h"
#include "model/key_table.h"
#include "screen_text.h"

namespace {

constexpr int KEY_C = 1059;
constexpr int LEFT_CTRL = 1068;

HWND OpenPicker(AppUnderTest& app, int slot) {
    app.PostCommand(ID_CHANGE_FIRST + slot - 1);
    return WaitForDialog(L" Keyboard");
}

void Click(HWND control) {
    SendMessageW(control, BM_CLICK, 0, 0);
}

void ClickAndWaitForClose(AppUnderTest& app, HWND dialog, int id) {
    Click(GetDlgItem(dialog, id));
    EXPECT_TRUE(WaitUntilClosed(dialog));
    app.Sync();
}

bool IsChecked(AppUnderTest& app, int id) {
    return SendMessageW(app.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int RowShows(AppUnderTest& app, int slot, const char* text) {
    return SlotTextDiffers(app.Window(), slot - 1, text);
}

TEST(SlotCommands, CancelledPickLeavesTheSlotAndThePanel) {
    AppUnderTest app;
    SetKeyCode(LAYER_NORMAL, 2, 0x0004);
    SendMessageW(app.Control(ID_NORMAL_LAYER), BM_CLICK, 0, 0);
    app.Sync();
    HWND dialog = OpenPicker(app, 2);
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, LEFT_CTRL));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilClosed(dialog));
    app.Sync();
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), 0x0004);
    EXPECT_STREQ(g_slotTexts[1], "<A>");
    EXPECT_EQ(RowShows(app, 2, "<A>"), 0);
}

TEST(SlotCommands, PickInTheShiftLayerLeavesTheNormalLayer) {
    AppUnderTest app;
    SetKeyCode(LAYER_NORMAL, 3, 0x0028);
    SendMessageW(app.Control(ID_SHIFT_LAYER), BM_CLICK, 0, 0);
    app.Sync();
    EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
    HWND dialog = OpenPicker(app, 3);
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, LEFT_CTRL));
    ClickAndWaitForClose(app, dialog, KEY_C);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 3), 0x0106);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 3), 0x0028);
    EXPECT_EQ(RowShows(app, 3, "<Ctrl><C>"), 0);

    SendMessageW(app.Control(ID_NORMAL_LAYER), BM_CLICK, 0, 0);
    app.Sync();
    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    EXPECT_FALSE(IsChecked(app, ID_SHIFT_LAYER));
    EXPECT_EQ(RowShows(app, 3, "<Enter>"), 0);
}

TEST(SlotCommands, ClearEmptiesOnlyTheSelectedLayersSlot) {
    AppUnderTest app;
    SetKeyCode(LAYER_NORMAL, 1, 0x0004);
    SetKeyCode(LAYER_SHIFT, 1, 0x0005);
    SendMessageW(app.Control(ID_SHIFT_LAYER), BM_CLICK, 0, 0);
    app.Sync();
    EXPECT_EQ(RowShows(app, 1, "<B>"), 0);
    Click(app.Control(ID_CLEAR_FIRST));
    app.Sync();
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 0);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0004);
    EXPECT_STREQ(g_slotTexts[0], "");
    EXPECT_EQ(PixelAt(app.Window(), 95, 95), RGB(225, 225, 225));
}

TEST(SlotCommands, ClearOnAnEmptySlotChangesNothing) {
    AppUnderTest app;
    SetKeyCode(LAYER_NORMAL, 2, 0x0004);
    Click(app.Control(ID_CLEAR_FIRST + 7));
    app.Sync();
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)), index == 1 ? 0x0004 : 0);
    }
    EXPECT_EQ(RowShows(app, 2, "<A>"), 0);
    EXPECT_EQ(PixelAt(app.Window(), 95, 95 + 25 * 7), RGB(225, 225, 225));
}

TEST(SlotCommands, NewEmptiesBothLayersTheConsoleAndTheFileTitle) {
    AppUnderTest app;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), 0x0004 + index);
    }
    std::strcpy(g_fileTitle, "panel.kbd");
    std::strcpy(g_currentPath, "C:\\panel.kbd");
    SendMessageW(app.Control(ID_SHIFT_LAYER), BM_CLICK, 0, 0);
    app.Sync();
    std::string status = StatusBarText(StatusBarOf(app.Window()));

    app.Command(IDM_FILE_NEW);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)), 0) << index;
    }
    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    EXPECT_FALSE(IsChecked(app, ID_SHIFT_LAYER));
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_EQ(TextOf(FindWindowExW(app.Window(), nullptr, L"Edit", nullptr)), "");
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_STREQ(g_currentPath, "C:\\panel.kbd");
    EXPECT_EQ(StatusBarText(StatusBarOf(app.Window())), status);
    for (int row = 0; row < SLOT_COUNT; ++row) {
        EXPECT_STREQ(g_slotTexts[row], "") << row;
        EXPECT_EQ(PixelAt(app.Window(), 95, 95 + 25 * row), RGB(225, 225, 225)) << row;
    }
}

}  // namespace
