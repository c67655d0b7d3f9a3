// The search for a module in change mode: when the window opens, and on
// every device-change notice, with modules and other devices on the
// simulated bus.
#include <gtest/gtest.h>

#include "emu/sim_bus.h"
#include "logic/messages.h"
#include "device_view.h"

namespace {

constexpr char CONNECTED_206[] = " Connected USB Keyboard Module - QX206";
constexpr char CONNECTED_209[] = " Connected USB Keyboard Module - QX209";
constexpr char REMOVED[] = " Removed USB Keyboard Module";

constexpr int32_t NORMAL_WORDS[SLOT_COUNT] = {0x0004, 0x0106, 0x0028, 0x0746,
                                              0x00E6, 0x0050, 0x2204, 0x003A};
constexpr int32_t SHIFT_WORDS[SLOT_COUNT] = {0x0005, 0x0206, 0x0029, 0x0091,
                                             0x0059, 0x0032, 0x0747, 0x0045};

void FillTable() {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        SetKeyCode(LAYER_NORMAL, slot, NORMAL_WORDS[slot - 1]);
        SetKeyCode(LAYER_SHIFT, slot, SHIFT_WORDS[slot - 1]);
    }
}

void ReplaceBusBy(int model) {
    SimDevices().clear();
    SimAddDevice(SimModule(model));
}

TEST(ModuleAtStart, Qx206IsChosenOverAQx209AndHidesTheLayerButtons) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    SimAddDevice(SimModule(MODEL_QX206));
    AppUnderTest app;
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED_AT_START), "%x", "206"));
    EXPECT_EQ(StatusOf(app), CONNECTED_206);
    ExpectDeviceCommands(app, true);
    ExpectLayerButtons(app, false, ID_NORMAL_LAYER);
    ExpectRowLabels(app, MODEL_QX206);
    SaveScreenshot(app.Window(), "connected-qx206");
}

TEST(ModuleAtStart, Qx209ShowsThePinLabelsAndBothLayerButtons) {
    SimReset();
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED_AT_START), "%x", "209"));
    EXPECT_EQ(StatusOf(app), CONNECTED_209);
    ExpectDeviceCommands(app, true);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
    ExpectRowLabels(app, MODEL_QX209);
    SaveScreenshot(app.Window(), "connected-qx209");
}

TEST(ModuleAtStart, ModuleOutOfChangeModeOrOfAnotherProductIsNotConnected) {
    SimReset();
    SimDevice keyboard = SimModule(MODEL_QX209);
    keyboard.changeMode = false;
    SimAddDevice(keyboard);
    SimAddDevice(SimForeignDevice(0x10F7, 0x207));
    AppUnderTest app;
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_HELP));
    EXPECT_EQ(StatusOf(app), "");
    ExpectDeviceCommands(app, false);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
}

TEST(DeviceChange, ArrivalConnectsAndEveryLaterNoticeFindsTheModuleAgain) {
    SimReset();
    AppUnderTest app;
    SimAddDevice(SimModule(MODEL_QX209));
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED), "%x", "209"));
    EXPECT_EQ(StatusOf(app), CONNECTED_209);
    ExpectDeviceCommands(app, true);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);

    // Another device comes while the module stays: the module is announced anew.
    app.Command(IDM_FILE_NEW);
    ASSERT_EQ(ConsoleOf(app), "");
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED), "%x", "209"));
    EXPECT_EQ(StatusOf(app), CONNECTED_209);
}

TEST(DeviceChange, OnlyTheDevicesChangedEventSearches) {
    SimReset();
    AppUnderTest app;
    SimAddDevice(SimModule(MODEL_QX209));
    for (WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_CONFIGCHANGED}) {
        EXPECT_EQ(SendMessageW(app.Window(), WM_DEVICECHANGE, event, 0), 0) << event;
    }
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_HELP));
    EXPECT_EQ(StatusOf(app), "");
    ExpectDeviceCommands(app, false);
}

TEST(DeviceChange, RemovalGraysTheCommandsAndSaysSoUntilTheModuleIsBack) {
    SimReset();
    int module = SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    SimUnplug(module);
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_REMOVED));
    EXPECT_EQ(StatusOf(app), REMOVED);
    ExpectDeviceCommands(app, false);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
    ExpectRowLabels(app, MODEL_QX209);

    SimReplug(module);
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED), "%x", "209"));
    EXPECT_EQ(StatusOf(app), CONNECTED_209);
    ExpectDeviceCommands(app, true);
}

TEST(DeviceChange, NothingFoundBeforeAnyModuleChangesNothingVisible) {
    SimReset();
    AppUnderTest app;
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_HELP));
    EXPECT_EQ(StatusOf(app), "");
    ExpectDeviceCommands(app, false);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
}

TEST(DeviceChange, Qx206ReplacingAQx209HidesTheLayerButtonsAndLeavesTheSlotTexts) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    FillTable();
    ClickLayerButton(app, ID_NORMAL_LAYER);
    // A table changed without a redraw, as a partly failed Read leaves it.
    SetKeyCode(LAYER_NORMAL, 1, 0x0007);
    ReplaceBusBy(MODEL_QX206);
    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_CONNECTED), "%x", "206"));
    EXPECT_EQ(StatusOf(app), CONNECTED_206);
    ExpectLayerButtons(app, false, ID_NORMAL_LAYER);
    ExpectRowLabels(app, MODEL_QX206);
    // The wire-colour labels' blanks reach into the slot texts; a paint shows them whole.
    Repaint(app);
    ExpectSlotTexts(app, NORMAL_WORDS);
}

TEST(DeviceChange, Qx206ReplacingAQx209InTheShiftLayerBringsBackTheNormalLayer) {
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    FillTable();
    ClickLayerButton(app, ID_SHIFT_LAYER);
    ExpectSlotTexts(app, SHIFT_WORDS);
    ReplaceBusBy(MODEL_QX206);
    NoticeDeviceChange(app);
    ExpectLayerButtons(app, false, ID_NORMAL_LAYER);
    Repaint(app);
    ExpectSlotTexts(app, NORMAL_WORDS);
    // The slot buttons now edit the normal layer.
    app.Command(ID_CLEAR_FIRST);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), SHIFT_WORDS[0]);

    // A QX209 again: both buttons show, the normal one checked as the panel is.
    ReplaceBusBy(MODEL_QX209);
    NoticeDeviceChange(app);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
    ExpectRowLabels(app, MODEL_QX209);
}

}  // namespace
