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
    // The read before the write takes what was queued before the request.
    EXPECT_EQ(accesses, (std::vector<SimAccess>{SIM_ACCESS_ENUMERATE, SIM_ACCESS_READ,
                                                SIM_ACCESS_WRITE, SIM_ACCESS_READ}));
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

namespace {

using SimQueueTest = DeviceTest;

// Writes a version request through the handle, as the link does.
void RequestVersion(HidDevice* handle) {
    const uint8_t request[9] = {0, 0x55, 0xAA, 0x40, 0, 0, 0, 0, 0};
    ASSERT_EQ(HidWrite(handle, request, 9, REPLY_TIMEOUT_MS), 9);
}

TEST_F(SimQueueTest, EveryHandleOpenWhenAReplyIsSentGetsItsOwnCopy) {
    int module = AddModule(MODEL_QX209);
    HidDevice* first = HidOpen(PathOf(module));
    HidDevice* second = HidOpen(PathOf(module));
    RequestVersion(first);
    HidPause(2);
    HidDevice* late = HidOpen(PathOf(module));

    uint8_t reply[9] = {};
    EXPECT_EQ(HidRead(second, reply, 9, 0), 9);
    EXPECT_EQ(reply[6], 0xFF);
    EXPECT_EQ(SimHandle(first).queued, 1);
    EXPECT_EQ(HidRead(first, reply, 9, 0), 9);
    EXPECT_EQ(HidRead(late, reply, 9, REPLY_TIMEOUT_MS), 0);
    EXPECT_EQ(HidLastFailure(), HidFailure::TimedOut);
    EXPECT_EQ(SimCount().timedOutReads, 1);
    for (HidDevice* handle : {first, second, late}) HidClose(handle);
    EXPECT_EQ(SimCount().openHandles, 0);
}

TEST_F(SimQueueTest, AHandleKeepsTheNewestRepliesOnly) {
    SimDevice device = SimModule(MODEL_QX209);
    device.replyDelayMs = 0;
    int module = SimAddDevice(device);
    HidDevice* handle = HidOpen(PathOf(module));
    for (int n = 0; n < SIM_QUEUE_LENGTH + 8; ++n) {
        SimDevices()[module].version = n;
        RequestVersion(handle);
    }
    EXPECT_EQ(SimHandle(handle).queued, SIM_QUEUE_LENGTH);
    uint8_t reply[9] = {};
    EXPECT_EQ(HidRead(handle, reply, 9, 0), 9);
    EXPECT_EQ(reply[2], 8);
    HidClose(handle);
}

TEST_F(SimQueueTest, AReplyQueuedBeforeTheModuleWentCanBeReadAndThenReadsFail) {
    SimDevice device = SimModule(MODEL_QX209);
    device.replyDelayMs = 0;
    int module = SimAddDevice(device);
    HidDevice* handle = HidOpen(PathOf(module));
    RequestVersion(handle);
    SimUnplug(module);
    uint8_t reply[9] = {};
    EXPECT_EQ(HidRead(handle, reply, 9, REPLY_TIMEOUT_MS), 9);
    EXPECT_EQ(HidRead(handle, reply, 9, REPLY_TIMEOUT_MS), -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::NotConnected);
    EXPECT_EQ(SimNowMs(), 0);
    EXPECT_EQ(HidRead(handle, reply, 8, REPLY_TIMEOUT_MS), -1);
    SimReplug(module);
    HidDevice* again = HidOpen(PathOf(module));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(HidRead(handle, reply, 9, 0), -1);
    HidClose(again);
    HidClose(handle);
}

TEST_F(SimQueueTest, ReadBufferShorterThanTheReportAndWriteOfAnotherLengthFail) {
    int module = AddModule(MODEL_QX209);
    HidDevice* handle = HidOpen(PathOf(module));
    const uint8_t request[10] = {0, 0x55, 0xAA, 0x40};
    EXPECT_EQ(HidWrite(handle, request, 10, REPLY_TIMEOUT_MS), -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::BadLength);
    RequestVersion(handle);
    uint8_t reply[9] = {};
    EXPECT_EQ(HidRead(handle, reply, 8, REPLY_TIMEOUT_MS), -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::BadLength);
    EXPECT_EQ(HidRead(handle, reply, 9, REPLY_TIMEOUT_MS), 9);
    HidClose(handle);
    HidClose(handle);
    EXPECT_EQ(SimCount().misuse, 1);
    SimReset();  // the misuse above was the point of this test
}

}  // namespace

namespace {

using SimWriteTest = DeviceTest;

// A write lasts the device's write delay; one longer than the caller's time
// limit is given up at the limit and never reaches the device.
TEST_F(SimWriteTest, WriteLastsTheWriteDelayOrIsGivenUpAtTheLimit) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].writeDelayMs = 300;
    HidDevice* handle = HidOpen(PathOf(module));
    RequestVersion(handle);
    EXPECT_EQ(SimNowMs(), 300);
    EXPECT_EQ(SimWrites().size(), 1u);

    SimDevices()[module].writeDelayMs = REPLY_TIMEOUT_MS + 1;
    const uint8_t request[9] = {0, 0x55, 0xAA, 0x40, 0, 0, 0, 0, 0};
    EXPECT_EQ(HidWrite(handle, request, 9, REPLY_TIMEOUT_MS), -1);
    EXPECT_EQ(HidLastFailure(), HidFailure::TimedOut);
    EXPECT_EQ(SimNowMs(), 300 + REPLY_TIMEOUT_MS);
    EXPECT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimCount().timedOutWrites, 1);
    HidClose(handle);
}

// What a stand-in serving the bus to another process does: it has waited
// the write delay itself, and takes the replies from the queue without
// waiting, until the device has gone.
TEST_F(SimWriteTest, TakenWritesAnswerIntoTheQueueUntilTheDeviceGoes) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].writeDelayMs = 500;
    SimDevices()[module].replyDelayMs = 20;
    HidDevice* handle = HidOpen(PathOf(module));
    const uint8_t request[9] = {0, 0x55, 0xAA, 0x40, 0, 0, 0, 0, 0};
    EXPECT_EQ(SimTakeWrite(handle, request, 8), -1);
    EXPECT_EQ(SimTakeWrite(handle, request, 9), 9);
    EXPECT_EQ(SimNowMs(), 0);
    uint8_t reply[9] = {};
    EXPECT_EQ(SimTakeQueued(handle, reply, 9), 0);
    HidPause(20);
    SimSendDueReplies();
    EXPECT_EQ(SimTakeQueued(handle, reply, 9), 9);
    EXPECT_EQ(reply[2], SimDevices()[module].version);
    ASSERT_NE(SimDeviceBehind(handle), nullptr);
    EXPECT_EQ(SimDeviceBehind(handle)->writeDelayMs, 500);

    SimUnplug(module);
    EXPECT_EQ(SimDeviceBehind(handle), nullptr);
    EXPECT_EQ(SimTakeQueued(handle, reply, 9), -1);
    EXPECT_EQ(SimTakeWrite(handle, request, 9), -1);
    HidClose(handle);
}

}  // namespace
