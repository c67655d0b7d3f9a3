// The assignment panel: row labels, slot texts and leader lines on screen.
#include <gtest/gtest.h>

#include <string>

#include "logic/command_ids.h"
#include "app/window_state.h"
#include "app_harness.h"
#include "emu/sim_bus.h"
#include "model/key_names.h"
#include "model/key_table.h"
#include "screen_text.h"

namespace {

constexpr COLORREF LEADER = RGB(225, 225, 225);
constexpr COLORREF WHITE = RGB(255, 255, 255);

int LeaderY(int row) {
    return 95 + 25 * row;
}
int LabelTop(int k) {
    return 64 + 25 * k;
}

std::string DisplayText(int32_t code) {
    char text[DISPLAY_TEXT_SIZE];
    FormatKeyCode(code, text, sizeof text);
    return text;
}

std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

int LabelDiffers(HWND window, int model, int k) {
    return RowLabelDiffers(window, k, RowLabel(model, k));
}

// Where the leader line of a row shows: from the end of the slot text to 279.
void ExpectLeaderAfterText(HWND window, int row, int textWidth) {
    int y = LeaderY(row);
    for (int x = 90 + textWidth; x < 280; x += 7) EXPECT_EQ(PixelAt(window, x, y), LEADER) << x;
    EXPECT_EQ(PixelAt(window, 279, y), LEADER);
    EXPECT_EQ(PixelAt(window, 280, y), WHITE);
    EXPECT_EQ(PixelAt(window, 89, y), WHITE);
}

void ClickRadio(AppUnderTest& app, int id) {
    SendMessageW(app.Control(id), BM_CLICK, 0, 0);
    app.Sync();
}

void FillTable() {
    const int32_t normal[SLOT_COUNT] = {0x0106, 0x0004, 0x0090, 0x0746, 0, 0x00E6, 0x0050, 0x12345};
    const int32_t shift[SLOT_COUNT] = {0x0028, 0, 0x7714, 0x0091, 0x2204, 0x0059, 0x0032, 0x0747};
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        SetKeyCode(LAYER_NORMAL, slot, normal[slot - 1]);
        SetKeyCode(LAYER_SHIFT, slot, shift[slot - 1]);
    }
}

void ExpectLayerShown(AppUnderTest& app, int layer) {
    for (int row = 0; row < SLOT_COUNT; ++row) {
        SCOPED_TRACE(row);
        std::string text = DisplayText(GetKeyCode(layer, row + 1));
        EXPECT_STREQ(g_slotTexts[row], text.c_str());
        if (!text.empty()) {
            EXPECT_EQ(SlotTextDiffers(app.Window(), row, text.c_str()), 0);
        }
        int width = text.empty() ? 0 : TextWidth(app.Window(), text.c_str(), g_font12);
        if (width < 190) ExpectLeaderAfterText(app.Window(), row, width);
    }
}

TEST(Panel, EmptyTableShowsBlankRowsWithFullLeaderLinesAndPinLabels) {
    AppUnderTest app;
    for (int row = 0; row < SLOT_COUNT; ++row) {
        SCOPED_TRACE(row);
        ExpectLeaderAfterText(app.Window(), row, 0);
        EXPECT_EQ(PixelAt(app.Window(), 150, LeaderY(row) - 3), WHITE);
    }
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) EXPECT_EQ(LabelDiffers(app.Window(), 0, k), 0) << k;
}

TEST(Panel, SlotTextsFollowTheSelectedLayer) {
    AppUnderTest app;
    FillTable();
    ClickRadio(app, ID_SHIFT_LAYER);
    ExpectLayerShown(app, LAYER_SHIFT);
    ClickRadio(app, ID_NORMAL_LAYER);
    ExpectLayerShown(app, LAYER_NORMAL);
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) EXPECT_EQ(LabelDiffers(app.Window(), 0, k), 0) << k;
    SaveScreenshot(app.Window(), "panel-normal-layer");
    ClickRadio(app, ID_SHIFT_LAYER);
    SaveScreenshot(app.Window(), "panel-shift-layer");
}

TEST(Panel, LongestTextIsDrawnWholeAndClearOfTheChangeButton) {
    AppUnderTest app;
    SetKeyCode(LAYER_NORMAL, 1, 0x0746);
    ClickRadio(app, ID_NORMAL_LAYER);
    const char* longest = "<Ctrl><Shift><Alt><Print Screen>";
    EXPECT_STREQ(g_slotTexts[0], longest);
    EXPECT_EQ(SlotTextDiffers(app.Window(), 0, longest), 0);
    EXPECT_LT(90 + TextWidth(app.Window(), longest, g_font12), 286);
    EXPECT_EQ(TextOf(app.Control(ID_CHANGE_FIRST)), "Change");
    // The button's face looks the same as that of the empty row below it.
    for (int y = 2; y < 20; y += 3) {
        EXPECT_EQ(PixelAt(app.Window(), 287, 85 + y), PixelAt(app.Window(), 287, 110 + y)) << y;
    }
}

TEST(Panel, PaintShowsTheSlotTextsAsLastDrawn) {
    AppUnderTest app;
    FillTable();
    ClickRadio(app, ID_SHIFT_LAYER);
    RedrawWindow(app.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    app.Sync();
    ExpectLayerShown(app, LAYER_SHIFT);
}

TEST(Panel, WireColourLabelsForAQx206) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX206));
    AppUnderTest app;
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        EXPECT_EQ(LabelDiffers(app.Window(), MODEL_QX206, k), 0) << k;
    }
}

TEST(Panel, PinLabelsForAQx209) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        EXPECT_EQ(LabelDiffers(app.Window(), MODEL_QX209, k), 0) << k;
    }
}

TEST(Panel, ArrivingQx206ReplacesThePinLabelsAtOnceWithoutRemnants) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    SimDevices().clear();
    SimAddDevice(SimModule(MODEL_QX206));
    SendMessageW(app.Window(), WM_DEVICECHANGE, 7, 0);
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(LabelDiffers(app.Window(), MODEL_QX206, k), 0);
        // Where the longer pin label stood, only the background (and a leader line) is left.
        std::string wire = WithoutTrailingBlanks(RowLabel(MODEL_QX206, k));
        std::string pin = WithoutTrailingBlanks(RowLabel(MODEL_QX209, k));
        int from = 20 + (wire.empty() ? 0 : TextWidth(app.Window(), wire.c_str(), g_font13));
        int to = 20 + TextWidth(app.Window(), pin.c_str(), g_font13);
        for (int y = LabelTop(k); y < LabelTop(k) + 13; ++y) {
            for (int x = from; x < to; ++x) {
                bool onLeader = k >= 1 && k <= 8 && x >= 90 && y == LeaderY(k - 1);
                if (!onLeader) {
                    EXPECT_EQ(PixelAt(app.Window(), x, y), WHITE) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
