// The module search at creation and on device changes, seen through the view.
#include "logic/messages.h"
#include "logic/module_search.h"
#include "logic_test_support.h"

namespace {

using ModuleSearchTest = LogicTest;

TEST_F(ModuleSearchTest, ModuleAtCreationIsAnnouncedAndItsCommandsEnabled) {
    AddModule(MODEL_QX209);
    SearchModuleAtCreation(view);
    EXPECT_EQ(Joined(view.calls), "enable console showLayers");
    EXPECT_EQ(view.console, Formatted(Korean(MSG_CONNECTED_AT_START), 0x209));
    // The status bar shows the text when the window is sized.
    EXPECT_STREQ(g_statusText, " Connected USB Keyboard Module - QX209");
    EXPECT_EQ(g_connected, 1);
    EXPECT_EQ(g_connectedModelId, MODEL_QX209);
    EXPECT_EQ(g_labelModelId, MODEL_QX209);
}

TEST_F(ModuleSearchTest, NoModuleAtCreationShowsNothing) {
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    SimAddDevice(SimForeignDevice(MODULE_VENDOR_ID, 0x0207));
    SearchModuleAtCreation(view);
    EXPECT_EQ(Joined(view.calls), "");
    EXPECT_EQ(g_connected, 0);
    EXPECT_EQ(g_connectedModelId, 0);
    EXPECT_STREQ(g_statusText, "");
}

TEST_F(ModuleSearchTest, Qx206IsLookedForFirstAndHidesTheLayerButtons) {
    AddModule(MODEL_QX209);
    AddModule(MODEL_QX206);
    SearchModuleAtCreation(view);
    EXPECT_EQ(g_connectedModelId, MODEL_QX206);
    EXPECT_EQ(view.console, Formatted(Korean(MSG_CONNECTED_AT_START), 0x206));
    EXPECT_EQ(Joined(view.calls), "enable console check:normal hideLayers");
    EXPECT_TRUE(view.panels.empty()) << "the normal layer was shown already";
}

TEST_F(ModuleSearchTest, Qx206PluggedInTakesThePanelOffTheShiftLayer) {
    SetKeyCode(LAYER_NORMAL, 1, 0x0004);
    SetKeyCode(LAYER_SHIFT, 1, 0x0005);
    g_selectedLayer = LAYER_SHIFT;
    AddModule(MODEL_QX206);
    SearchModuleOnDeviceChange(view);
    EXPECT_EQ(Joined(view.calls), "enable console check:normal hideLayers panel labels status");
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    ASSERT_EQ(view.panels.size(), 1u);
    EXPECT_EQ(view.panels[0], "<A>||||||||");
    EXPECT_EQ(view.console, Formatted(Korean(MSG_CONNECTED), 0x206));
    EXPECT_EQ(view.status, " Connected USB Keyboard Module - QX206");
    EXPECT_EQ(g_labelModelId, MODEL_QX206);
}

TEST_F(ModuleSearchTest, Qx209AfterQx206ShowsTheLayerButtonsAgain) {
    int qx206 = AddModule(MODEL_QX206);
    SearchModuleAtCreation(view);
    SimUnplug(qx206);
    AddModule(MODEL_QX209);
    view.calls.clear();
    SearchModuleOnDeviceChange(view);
    EXPECT_EQ(Joined(view.calls), "enable console showLayers labels status");
    EXPECT_TRUE(view.layerButtonsShown);
    EXPECT_EQ(g_labelModelId, MODEL_QX209);
    EXPECT_EQ(view.status, " Connected USB Keyboard Module - QX209");
}

TEST_F(ModuleSearchTest, RemovalOfTheConnectedModuleIsAnnounced) {
    int module = AddModule(MODEL_QX209);
    SearchModuleAtCreation(view);
    SimUnplug(module);
    view.calls.clear();
    SearchModuleOnDeviceChange(view);
    EXPECT_EQ(Joined(view.calls), "disable console status");
    EXPECT_FALSE(view.deviceCommands);
    EXPECT_EQ(view.console, Korean(MSG_REMOVED));
    EXPECT_EQ(view.status, " Removed USB Keyboard Module");
    EXPECT_EQ(g_connectedModelId, 0);
    EXPECT_EQ(g_labelModelId, MODEL_QX209) << "the labels stay those of the last module";
}

TEST_F(ModuleSearchTest, DeviceChangeWithoutAnyModuleSoFarLeavesTheConsole) {
    ReplaceConsoleText(MSG_HELP);
    SearchModuleOnDeviceChange(view);
    EXPECT_EQ(Joined(view.calls), "disable status");
    EXPECT_EQ(view.status, "");
    EXPECT_STREQ(g_consoleText, Korean(MSG_HELP));
}

TEST_F(ModuleSearchTest, ModuleLeftAfterAResetIsNotAnnouncedAsRemoved) {
    int module = AddModule(MODEL_QX209);
    SearchModuleAtCreation(view);
    g_connected = 0;  // as a successful reset leaves it
    SimUnplug(module);
    view.calls.clear();
    SearchModuleOnDeviceChange(view);
    EXPECT_EQ(Joined(view.calls), "disable status");
}

}  // namespace
