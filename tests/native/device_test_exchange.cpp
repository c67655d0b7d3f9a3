// One transaction: the request on the wire, the reply, the pause, the
// time-out and the re-discovery of a lost module, timed on the virtual clock.
#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "device_test_support.h"

namespace {

using ExchangeTest = DeviceTest;

// A transaction against a module answering after the default 1 ms.
constexpr int64_t ANSWERED_MS = TRANSACTION_PAUSE_MS + 1;
constexpr int64_t TIMED_OUT_MS = TRANSACTION_PAUSE_MS + REPLY_TIMEOUT_MS;

TEST_F(ExchangeTest, RequestCarriesFrameCommandAndArgumentsAfterReportIdZero) {
    ConnectQx206();
    EXPECT_EQ(Transact(CMD_WRITE_KEY, 9, 0x02, 0x04, 0, 0), 1);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(Hex(SimWrites()[0].bytes), "00 55 AA 41 09 02 04 00 00");
    EXPECT_EQ(SimWrites()[0].timeMs, TRANSACTION_PAUSE_MS);
    EXPECT_EQ(SimNowMs(), ANSWERED_MS);
    EXPECT_EQ(g_hidLink.linkUp, 1);
}

TEST_F(ExchangeTest, CommandAndArgumentsAreCutToTheirLowEightBits) {
    ConnectQx206();
    EXPECT_EQ(Transact(0x141, 0x109, 0x1FF, -1, 0x100, 0x2AB), 1);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(Hex(SimWrites()[0].bytes), "00 55 AA 41 09 FF FF 00 AB");
}

TEST_F(ExchangeTest, LongReportsAreSentWholeWithZerosAfterTheArguments) {
    SimDevice device = SimModule(MODEL_QX206);
    device.outputLength = 65;
    device.inputLength = 65;
    SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    EXPECT_EQ(Transact(CMD_WRITE_KEY, 3, 0x11, 0x22, 0x33, 0x44), 1);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    ASSERT_EQ(SimWrites().size(), 2u);
    for (const SimWrite& write : SimWrites()) {
        ASSERT_EQ(write.bytes.size(), 65u);
        EXPECT_EQ(write.bytes[0], 0);
        EXPECT_EQ(std::vector<uint8_t>(write.bytes.begin() + 9, write.bytes.end()),
                  std::vector<uint8_t>(56, 0));
    }
    EXPECT_EQ(Hex(SimWrites()[1].bytes).substr(0, 26), "00 55 AA 40 00 00 00 00 00");
}

TEST_F(ExchangeTest, ReplyTextFormShowsReplyBytesOneToSix) {
    SimDevice device = SimModule(MODEL_QX206);
    device.version = 0x12;
    device.words[3] = 0x0204;
    SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ASSERT_EQ(Transact(CMD_READ_KEY, 3, 0, 0, 0, 0), 1);

    char text[REPLY_TEXT_SIZE];
    FormatReply(text, sizeof text);
    EXPECT_STREQ(text, "01,12,02,04,00,FF");

    char shortText[8];
    FormatReply(shortText, sizeof shortText);
    EXPECT_STREQ(shortText, "01,12,0");
}

TEST_F(ExchangeTest, ReplyThatCompletesAtOnceCountsAsReceived) {
    SimDevice device = SimModule(MODEL_QX206);
    device.replyDelayMs = 0;
    SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(SimNowMs(), 2 * TRANSACTION_PAUSE_MS);
    EXPECT_EQ(g_hidLink.linkUp, 1);
}

TEST_F(ExchangeTest, ReplyCountsOnlyWithinTheTimeOut) {
    for (int delay : {REPLY_TIMEOUT_MS, REPLY_TIMEOUT_MS + 1}) {
        SCOPED_TRACE(delay);
        StartOver();
        SimDevice device = SimModule(MODEL_QX206);
        device.replyDelayMs = delay;
        SimAddDevice(device);
        ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
        const bool inTime = delay <= REPLY_TIMEOUT_MS;
        EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), inTime ? 1 : 0);
        EXPECT_EQ(SimNowMs(), TIMED_OUT_MS);
        EXPECT_EQ(g_hidLink.linkUp, inTime ? 1 : 0);
        EXPECT_EQ(SimCount().timedOutReads, inTime ? 0 : 1);
    }
}

TEST_F(ExchangeTest, LinkDownAndNoModuleCostsThePauseAndOneSearchAndWritesNothing) {
    SimAddDevice(SimForeignDevice(0x046D, 0xC52B));
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimNowMs(), TRANSACTION_PAUSE_MS);
    EXPECT_EQ(SimCount().enumerations, 1);
    EXPECT_TRUE(SimWrites().empty());
    EXPECT_EQ(SimCount().failedWrites, 0);
}

TEST_F(ExchangeTest, SilentModuleCostsTheFullWaitAndIsSearchedForAgain) {
    int module = ConnectQx206();
    SimDevices()[module].silent = true;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimNowMs(), TIMED_OUT_MS);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(SimCount().timedOutReads, 1);
    EXPECT_EQ(SimWrites().size(), 1u);

    SimDevices()[module].silent = false;
    int searches = SimCount().enumerations;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(SimCount().enumerations, searches + 1);
    EXPECT_EQ(SimNowMs(), TIMED_OUT_MS + ANSWERED_MS);
    EXPECT_EQ(g_hidLink.linkUp, 1);
}

TEST_F(ExchangeTest, ReadThatCannotStartFailsAtOnceAndTakesTheLinkDown) {
    int module = ConnectQx206();
    SimDevices()[module].readsFail = true;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimNowMs(), TRANSACTION_PAUSE_MS);
    EXPECT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimCount().timedOutReads, 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
}

TEST_F(ExchangeTest, WriteThatNeverFinishesIsGivenUpAfterTheTimeOut) {
    int module = ConnectQx206();
    SimDevices()[module].takesReports = false;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimNowMs(), TIMED_OUT_MS);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(SimCount().timedOutWrites, 1);
    EXPECT_EQ(SimCount().timedOutReads, 0);
    EXPECT_TRUE(SimWrites().empty());

    // Like any failed write: the next transaction searches and opens it anew.
    SimDevices()[module].takesReports = true;
    HidDevice* old = g_hidLink.device;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_NE(g_hidLink.device, old);
    EXPECT_EQ(SimWrites().size(), 1u);
}

// A reply that comes after the wait for it has ended is kept by the handle
// it was sent to, which the next search replaces: it never passes for the
// reply to a later request.
TEST_F(ExchangeTest, ReplyThatComesAfterTheTimeOutNeverAnswersTheNextRequest) {
    SimDevice device = SimModule(MODEL_QX206);
    device.words[0] = 0x0104;
    device.words[1] = 0x0205;
    device.replyDelayMs = REPLY_TIMEOUT_MS + 1;
    int module = SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    HidDevice* first = g_hidLink.device;
    EXPECT_EQ(Transact(CMD_READ_KEY, 0, 0, 0, 0, 0), 0);

    SimDevices()[module].replyDelayMs = 1;
    EXPECT_EQ(Transact(CMD_READ_KEY, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(ReplyByte(3), 0x02);
    EXPECT_EQ(ReplyByte(4), 0x05);
    EXPECT_NE(g_hidLink.device, first);
    EXPECT_EQ(SimHandle(g_hidLink.device).queued, 0);
    EXPECT_EQ(Transact(CMD_READ_KEY, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(ReplyByte(4), 0x04);
}

TEST_F(ExchangeTest, UnpluggedModuleFailsTheWriteAndIsReopenedOnceBack) {
    int module = ConnectQx206();
    SimUnplug(module);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimNowMs(), TRANSACTION_PAUSE_MS);
    EXPECT_EQ(SimCount().failedWrites, 1);
    EXPECT_EQ(SimCount().timedOutReads, 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);

    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimCount().failedWrites, 1);

    // Plugged in again: the old handle stays dead, the search opens a new one.
    HidDevice* old = g_hidLink.device;
    SimReplug(module);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_NE(g_hidLink.device, old);
    EXPECT_FALSE(SimHandle(old).open);
    EXPECT_EQ(g_hidLink.lastProductId, MODEL_QX206);
    EXPECT_TRUE(SimWrites().size() == 1u && SimWrites()[0].path == PathOf(module));
}

TEST_F(ExchangeTest, NeverConnectedLinkSearchesButFindsNoModule) {
    AddModule(MODEL_QX206);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(SimCount().enumerations, 1);
    EXPECT_TRUE(SimWrites().empty());
}

}  // namespace
