// What the module search and device command tests look at and do: the
// console, the status bar, the device menu items, the layer buttons, the
// labels and slot texts on screen, and the system's device-change notice.
#pragma once

#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <string>

#include "logic/command_ids.h"
#include "app/window_state.h"
#include "app_harness.h"
#include "model/key_names.h"
#include "model/key_table.h"
#include "screen_text.h"

// What Data > Write lists of an empty table before its outcome.
constexpr char EMPTY_TABLE_DUMP[] =
    " > Scan Code : \r\n"
    "    0000  0000  0000  0000  0000  0000  0000  0000 \r\n"
    "    0000  0000  0000  0000  0000  0000  0000  0000\r\n";

inline std::string ConsoleOf(const AppUnderTest& app) {
    return TextOf(FindWindowExW(app.Window(), nullptr, L"Edit", nullptr));
}

inline std::string StatusOf(const AppUnderTest& app) {
    return StatusBarText(StatusBarOf(app.Window()));
}

// The message with its one "%x", "%X" or "%d.%d" field written as shown.
inline std::string Filled(const char* format, const char* field, const char* shown) {
    std::string text = format;
    size_t at = text.find(field);
    if (at != std::string::npos) text.replace(at, std::string(field).size(), shown);
    return text;
}

// Write, Read and Reset: all enabled, or all grayed.
inline void ExpectDeviceCommands(const AppUnderTest& app, bool enabled) {
    for (int id : {IDM_DATA_WRITE, IDM_DATA_READ, IDM_USB_RESET}) {
        UINT state = GetMenuState(GetMenu(app.Window()), id, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_GRAYED) != 0, !enabled) << id;
        if (enabled) {
            EXPECT_EQ(state & MF_DISABLED, 0u) << id;
        }
    }
}

// The whole window painted again: the slot texts show as they were last drawn.
inline void Repaint(AppUnderTest& app) {
    RedrawWindow(app.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    app.Sync();
}

inline bool IsChecked(const AppUnderTest& app, int id) {
    return SendMessageW(app.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline void ExpectLayerButtons(const AppUnderTest& app, bool shown, int checkedId) {
    EXPECT_EQ(IsWindowVisible(app.Control(ID_NORMAL_LAYER)) != 0, shown);
    EXPECT_EQ(IsWindowVisible(app.Control(ID_SHIFT_LAYER)) != 0, shown);
    EXPECT_EQ(IsChecked(app, ID_NORMAL_LAYER), checkedId == ID_NORMAL_LAYER);
    EXPECT_EQ(IsChecked(app, ID_SHIFT_LAYER), checkedId == ID_SHIFT_LAYER);
}

inline void ClickLayerButton(AppUnderTest& app, int id) {
    SendMessageW(app.Control(id), BM_CLICK, 0, 0);
    app.Sync();
}

// What the system sends when a device comes or goes.
inline void NoticeDeviceChange(const AppUnderTest& app) {
    SendMessageW(app.Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

// The ten row labels of the model's set are on screen (all but the blank label 9 of the
// wire-colour set, which shows only background).
inline void ExpectRowLabels(const AppUnderTest& app, int model) {
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        EXPECT_EQ(RowLabelDiffers(app.Window(), k, RowLabel(model, k)), 0) << "label " << k;
    }
}

// Each row of the panel shows the display text of its word (rows of word 0 are not looked at).
inline void ExpectSlotTexts(const AppUnderTest& app, const int32_t (&words)[SLOT_COUNT]) {
    for (int row = 0; row < SLOT_COUNT; ++row) {
        if (words[row] == 0) continue;
        char text[DISPLAY_TEXT_SIZE];
        FormatKeyCode(words[row], text, sizeof text);
        EXPECT_EQ(SlotTextDiffers(app.Window(), row, text), 0) << "row " << row << " " << text;
    }
}
