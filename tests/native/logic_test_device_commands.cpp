// Data > Write and Read and USB > Reset: their console texts, the wait
// cursor around them and what they leave in the table and the panel.
#include "device/module_commands.h"
#include "logic/device_commands.h"
#include "logic/messages.h"
#include "logic/module_search.h"
#include "logic_test_support.h"

namespace {

class DeviceCommandsTest : public LogicTest {
protected:
    // A module of this model found at creation, as the window would.
    int Connect(int model) {
        int position = AddModule(model);
        SearchModuleAtCreation(view);
        view.calls.clear();
        return position;
    }
};

constexpr char DUMP_OF_TWO_KEYS[] =
    " > Scan Code : \r\n    0104  0000  0000  0000  0000  0000  0000  0000 "
    "\r\n    0000  0000  0000  0000  0000  0000  0000  0028\r\n";

constexpr char DUMP_OF_EMPTY_TABLE[] =
    " > Scan Code : \r\n    0000  0000  0000  0000  0000  0000  0000  0000 "
    "\r\n    0000  0000  0000  0000  0000  0000  0000  0000\r\n";

TEST_F(DeviceCommandsTest, WriteShowsTheScanCodesThenTheOutcome) {
    int module = Connect(MODEL_QX209);
    SetKeyCode(LAYER_NORMAL, 1, 0x0104);
    SetKeyCode(LAYER_SHIFT, 8, 0x0028);
    WriteToModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console console idle");
    EXPECT_EQ(view.console, std::string(DUMP_OF_TWO_KEYS) + Korean(MSG_WRITE_DONE));
    EXPECT_EQ(SimDevices()[module].words[0], 0x0104);
    EXPECT_EQ(SimDevices()[module].words[15], 0x0028);

    SimDevices()[module].unansweredIndex = 3;
    view.calls.clear();
    WriteToModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console console idle");
    EXPECT_EQ(view.console, std::string(DUMP_OF_TWO_KEYS) + Korean(MSG_WRITE_ERROR));
}

TEST_F(DeviceCommandsTest, WriteToAModuleThatWentAwayFails) {
    int module = Connect(MODEL_QX209);
    SimUnplug(module);
    WriteToModule(view);
    EXPECT_EQ(view.console, std::string(DUMP_OF_EMPTY_TABLE) + Korean(MSG_WRITE_ERROR));
    EXPECT_EQ(Joined(view.calls), "busy console console idle");
}

TEST_F(DeviceCommandsTest, ReadShowsTheVersionAndLoadsTheNormalLayer) {
    int module = Connect(MODEL_QX209);
    SimDevices()[module].version = 0x1A;
    SimDevices()[module].words[0] = 0x0106;
    SimDevices()[module].words[8] = 0x0004;
    g_selectedLayer = LAYER_SHIFT;
    ReadFromModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console check:normal panel console idle");
    EXPECT_EQ(view.console, Formatted(Korean(MSG_FIRMWARE_VERSION), 1, 10) + Korean(MSG_READ_DONE));
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0106);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 0x0004);
    ASSERT_EQ(view.panels.size(), 1u);
    EXPECT_EQ(view.panels[0], "<Ctrl><C>||||||||");
}

TEST_F(DeviceCommandsTest, ReadWithoutAnAnswerToTheVersionChangesNothing) {
    int module = Connect(MODEL_QX209);
    SimDevices()[module].silent = true;
    g_selectedLayer = LAYER_SHIFT;
    SetKeyCode(LAYER_NORMAL, 2, 0x0029);
    ReadFromModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console idle");
    EXPECT_EQ(view.console, Korean(MSG_RECEIVE_ERROR));
    EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), 0x0029);
}

TEST_F(DeviceCommandsTest, ReadWithAKeyUnansweredKeepsTheRestAndDrawsNothing) {
    int module = Connect(MODEL_QX209);
    SimDevices()[module].words[0] = 0x0004;
    SimDevices()[module].words[2] = 0x0005;
    SimDevices()[module].unansweredIndex = 2;
    SetKeyCode(LAYER_NORMAL, 3, 0x0029);
    g_selectedLayer = LAYER_SHIFT;
    ReadFromModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console check:normal console idle");
    EXPECT_EQ(view.console, Korean(MSG_RECEIVE_ERROR));
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0004);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 3), 0x0029);
}

TEST_F(DeviceCommandsTest, ResetClearsTheStatusTextAndTheConnection) {
    int module = Connect(MODEL_QX209);
    ResetModule(view);
    EXPECT_EQ(Joined(view.calls), "busy status console idle");
    EXPECT_EQ(view.status, "");
    EXPECT_STREQ(g_statusText, "");
    EXPECT_EQ(g_connected, 0);
    EXPECT_EQ(view.console, Korean(MSG_RESET_DONE));
    EXPECT_FALSE(SimDevices()[module].changeMode);
}

TEST_F(DeviceCommandsTest, FailedResetKeepsTheStatusText) {
    int module = Connect(MODEL_QX209);
    SimDevices()[module].silent = true;
    ResetModule(view);
    EXPECT_EQ(Joined(view.calls), "busy console idle");
    EXPECT_EQ(view.console, Korean(MSG_RESET_ERROR));
    EXPECT_STREQ(g_statusText, " Connected USB Keyboard Module - QX209");
    EXPECT_EQ(g_connected, 1);
}

// A reply that comes after its request was given up is never taken for the
// answer to a later one, wherever the device-change notice, whose search
// opens the module anew, falls on the reply's way: the version request is
// written at 40 ms and given up at 2040 ms, and its reply comes at 2540 ms.
TEST_F(DeviceCommandsTest, AReplyThatComesLateIsNeverTakenForTheNextReadsAnswers) {
    const int64_t noticeAtMs[] = {2100, 2600, -1};  // before the reply comes, after, none
    for (int64_t notice : noticeAtMs) {
        SCOPED_TRACE(notice);
        SetUp();
        int module = Connect(MODEL_QX209);
        for (int index = 0; index < TABLE_SIZE; ++index) {
            SimDevices()[module].words[index] = static_cast<uint16_t>(0x0104 + index);
        }
        SimDevices()[module].replyDelayMs = 2500;
        ReadFromModule(view);
        ASSERT_EQ(view.console, Korean(MSG_RECEIVE_ERROR));

        SimDevices()[module].replyDelayMs = 1;
        if (notice >= 0) {
            HidPause(static_cast<int>(notice - SimNowMs()));
            SearchModuleOnDeviceChange(view);
        }
        HidPause(static_cast<int>(3000 - SimNowMs()));
        ReadFromModule(view);
        EXPECT_EQ(view.console,
                  Formatted(Korean(MSG_FIRMWARE_VERSION), 2, 1) + Korean(MSG_READ_DONE));
        for (int index = 0; index < TABLE_SIZE; ++index) {
            EXPECT_EQ(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)), 0x0104 + index) << index;
        }
    }
}

}  // namespace
