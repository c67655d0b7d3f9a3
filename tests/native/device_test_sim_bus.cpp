// What the demo program relies on from the simulated bus: hooks around each
// access, a device list that may be replaced at any of them, the real clock.
#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "device_test_support.h"

namespace {

using SimBusTest = DeviceTest;

TEST_F(SimBusTest, AccessHookRunsBeforeEveryEnumerationWriteAndReadStart) {
    std::vector<SimAccess> accesses;
    SimSetAccessHook([&](SimAccess access) { accesses.push_back(access); });
    AddModule(MODEL_QX206);
    ConnectModule(MODEL_QX206);
    Transact(CMD_VERSION, 0, 0, 0, 0, 0);
    EXPECT_EQ(accesses,
              (std::vector<SimAccess>{SIM_ACCESS_ENUMERATE, SIM_ACCESS_WRITE, SIM_ACCESS_READ}));
}

// The demo reloads its bus file at every access and saves it on every change.
TEST_F(SimBusTest, DeviceListReloadedAtEveryAccessKeepsExchangesWhole) {
    AddModule(MODEL_QX206);
    std::vector<SimDevice> file = SimDevices();
    int saves = 0;
    SimSetAccessHook([&](SimAccess) { SimDevices() = file; });
    SimSetChangeHook([&](int) {
        file = SimDevices();
        ++saves;
    });
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), 0x0204 + index);
    }
    EXPECT_EQ(WriteKeyTable(), 1);
    EXPECT_EQ(saves, 16);
    EXPECT_EQ(file[0].words[15], 0x0204 + 15);

    ClearKeyTable();
    EXPECT_EQ(ReadKeyTable(), 0);
    EXPECT_EQ(GetKeyCode(1, 8), 0x0204 + 15);

    // Unplugged and plugged in again through the file alone.
    file[0].present = false;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    file[0].present = true;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
}

TEST_F(SimBusTest, RealClockReallyPausesAndTheClockRunsOnAfterwards) {
    AddModule(MODEL_QX206);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    SimUseRealClock(true);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    int64_t afterTransaction = SimNowMs();
    EXPECT_GE(afterTransaction, TRANSACTION_PAUSE_MS);
    SimUseRealClock(false);
    int64_t switchedAt = SimNowMs();
    EXPECT_GE(switchedAt, afterTransaction);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(SimNowMs() - switchedAt, TRANSACTION_PAUSE_MS + 1);
}

}  // namespace
