// The module's commands and the table-wide write and read built on them.
#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "device_test_support.h"

namespace {

using CommandsTest = DeviceTest;

constexpr int64_t ANSWERED_MS = TRANSACTION_PAUSE_MS + 1;
constexpr int64_t TIMED_OUT_MS = TRANSACTION_PAUSE_MS + REPLY_TIMEOUT_MS;

void SetEntry(int index, int32_t value) {
    SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), value);
}

int32_t Entry(int index) {
    return GetKeyCode(LayerOfIndex(index), SlotOfIndex(index));
}

void FillTable(int32_t first) {
    for (int index = 0; index < TABLE_SIZE; ++index) SetEntry(index, first + 0x0101 * index);
}

TEST_F(CommandsTest, WriteKeyTableSendsEveryEntryInTableOrder) {
    int module = ConnectQx206();
    FillTable(0x0104);
    SetEntry(9, 0x0204);  // shift layer slot 2
    SetEntry(4, 0);
    EXPECT_EQ(WriteKeyTable(), 1);

    ASSERT_EQ(SimWrites().size(), 16u);
    EXPECT_EQ(Hex(SimWrites()[9].bytes), "00 55 AA 41 09 02 04 00 00");
    EXPECT_EQ(Hex(SimWrites()[4].bytes), "00 55 AA 41 04 00 00 00 00");
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(SimWrites()[index].bytes[4], index);
        EXPECT_EQ(SimDevices()[module].words[index], Entry(index)) << index;
    }
    EXPECT_EQ(SimNowMs(), 16 * ANSWERED_MS);
}

TEST_F(CommandsTest, EntryValuesBecomeModifierAndUsageBytesBySignedDivision) {
    struct Case {
        int32_t value;
        const char* bytes;  // modifier byte, usage ID
    };
    const Case cases[] = {{0x12345, "23 45"}, {0x0804, "08 04"}, {0xFFFF, "FF FF"},
                          {-1, "00 FF"},      {-256, "FF 00"},   {-257, "FF FF"},
                          {-0x1234, "EE CC"}, {0x7714, "77 14"}};
    ConnectQx206();
    for (int index = 0; index < 8; ++index) SetEntry(index, cases[index].value);
    EXPECT_EQ(WriteKeyTable(), 1);
    ASSERT_EQ(SimWrites().size(), 16u);
    for (int index = 0; index < 8; ++index) {
        const std::vector<uint8_t>& bytes = SimWrites()[index].bytes;
        EXPECT_EQ(Hex({bytes[5], bytes[6]}), cases[index].bytes) << cases[index].value;
    }
}

TEST_F(CommandsTest, WritingTheTableTwiceSendsTheSame32Requests) {
    ConnectQx206();
    FillTable(0x0004);
    EXPECT_EQ(WriteKeyTable(), 1);
    EXPECT_EQ(WriteKeyTable(), 1);
    ASSERT_EQ(SimWrites().size(), 32u);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(SimWrites()[index].bytes, SimWrites()[index + 16].bytes) << index;
    }
}

TEST_F(CommandsTest, WriteFailuresAreCountedAndTheSeriesGoesOn) {
    int module = ConnectQx206();
    SimDevices()[module].unansweredIndex = 5;
    FillTable(0x0104);
    EXPECT_EQ(WriteKeyTable(), 0);
    ASSERT_EQ(SimWrites().size(), 16u);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(SimWrites()[index].bytes[4], index);
        EXPECT_EQ(SimDevices()[module].words[index], index == 5 ? 0 : Entry(index)) << index;
    }
    EXPECT_EQ(SimNowMs(), 15 * ANSWERED_MS + TIMED_OUT_MS);
    EXPECT_EQ(g_hidLink.linkUp, 1);
}

TEST_F(CommandsTest, WriteToASilentOrAbsentModuleFailsEveryEntry) {
    int module = ConnectQx206();
    SimDevices()[module].silent = true;
    EXPECT_EQ(WriteKeyTable(), 0);
    EXPECT_EQ(SimWrites().size(), 16u);
    EXPECT_EQ(SimNowMs(), 16 * TIMED_OUT_MS);

    SimUnplug(module);
    int64_t start = SimNowMs();
    int searches = SimCount().enumerations;
    EXPECT_EQ(WriteKeyTable(), 0);
    EXPECT_EQ(SimWrites().size(), 16u);
    EXPECT_EQ(SimNowMs() - start, 16 * TRANSACTION_PAUSE_MS);
    EXPECT_EQ(SimCount().enumerations, searches + 16);
}

TEST_F(CommandsTest, ModuleThatReturnsMidSeriesTakesTheRemainingEntries) {
    int module = ConnectQx206();
    SimUnplug(module);
    // Index 0 fails its write with the link still up; each later index
    // searches first, so the seventh search is that of index 7.
    int searches = 0;
    SimSetAccessHook([&](SimAccess access) {
        if (access == SIM_ACCESS_ENUMERATE && ++searches == 7) SimReplug(module);
    });
    FillTable(0x0104);
    EXPECT_EQ(WriteKeyTable(), 0);
    ASSERT_EQ(SimWrites().size(), 9u);
    EXPECT_EQ(SimWrites()[0].bytes[4], 7);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(SimDevices()[module].words[index], index < 7 ? 0 : Entry(index)) << index;
    }
}

TEST_F(CommandsTest, ReadKeyTableTakesModifierAndUsageFromReplyBytesThreeAndFour) {
    SimDevice device = SimModule(MODEL_QX209);
    for (int index = 0; index < TABLE_SIZE; ++index) device.words[index] = 0xA0B0 + index;
    device.words[0] = 0x0106;
    device.words[15] = 0xFFFF;
    SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    FillTable(0x7777);

    EXPECT_EQ(ReadKeyTable(), 0);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(Entry(index), device.words[index]) << index;
        EXPECT_EQ(Hex(SimWrites()[index].bytes).substr(0, 14),
                  "00 55 AA 42 " + Hex({uint8_t(index)}));
    }
}

TEST_F(CommandsTest, ReadFailingOnlyAtIndexFiveKeepsThatEntry) {
    SimDevice device = SimModule(MODEL_QX206);
    for (int index = 0; index < TABLE_SIZE; ++index) device.words[index] = 0x0104 + index;
    device.unansweredIndex = 5;
    SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    FillTable(0x7777);
    int32_t before = Entry(5);

    EXPECT_EQ(ReadKeyTable(), 1);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(Entry(index), index == 5 ? before : device.words[index]) << index;
    }
    EXPECT_EQ(SimWrites().size(), 16u);
    EXPECT_EQ(SimNowMs(), 15 * ANSWERED_MS + TIMED_OUT_MS);
}

TEST_F(CommandsTest, ReadCountsEveryFailureAndLeavesTheTable) {
    int module = ConnectQx206();
    SimDevices()[module].silent = true;
    FillTable(0x0304);
    EXPECT_EQ(ReadKeyTable(), 16);
    EXPECT_EQ(SimWrites().size(), 16u);
    for (int index = 0; index < TABLE_SIZE; ++index)
        EXPECT_EQ(Entry(index), 0x0304 + 0x0101 * index);
}

TEST_F(CommandsTest, FirmwareVersionIsReplyByteTwoAndZeroOnFailure) {
    SimDevice device = SimModule(MODEL_QX206);
    device.version = 0x21;
    int module = SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    EXPECT_EQ(ReadFirmwareVersion(), 0x21);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(Hex(SimWrites()[0].bytes), "00 55 AA 40 00 00 00 00 00");

    SimDevices()[module].version = 0xFE;
    EXPECT_EQ(ReadFirmwareVersion(), 0xFE);
    SimDevices()[module].version = 0;
    EXPECT_EQ(ReadFirmwareVersion(), 0);
    SimDevices()[module].version = 0x21;
    SimDevices()[module].silent = true;
    EXPECT_EQ(ReadFirmwareVersion(), 0);
}

// Every byte value comes through as it was sent, the high ones included.
TEST_F(CommandsTest, VersionAndWordsAreTakenFromTheReplyBytesAsTheyCame) {
    SimDevice device = SimModule(MODEL_QX206);
    const uint16_t words[] = {0xFFFF, 0x8000, 0x00FF, 0x7F80, 0x0A0B, 0xF00F};
    for (int index = 0; index < 6; ++index) device.words[index] = words[index];
    int module = SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    for (int version : {0x01, 0x09, 0x0A, 0x7F, 0x80, 0xA0, 0xFF}) {
        SimDevices()[module].version = version;
        EXPECT_EQ(ReadFirmwareVersion(), version);
        const int replyBytes[] = {0x01, version, 0x00, 0x00, 0x00, 0xFF};
        for (int k = 1; k <= 6; ++k) EXPECT_EQ(ReplyByte(k), replyBytes[k - 1]) << k;
    }
    EXPECT_EQ(ReadKeyTable(), 0);
    for (int index = 0; index < 6; ++index) EXPECT_EQ(Entry(index), words[index]) << index;
}

TEST_F(CommandsTest, ResetIsAnsweredAndThenTheModuleIsNoLongerFound) {
    int module = ConnectQx206();
    std::vector<int> changed;
    SimSetChangeHook([&](int position) { changed.push_back(position); });

    EXPECT_EQ(Transact(CMD_RESET, 0, 0, 0, 0, 0), 1);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(Hex(SimWrites()[0].bytes), "00 55 AA 4F 00 00 00 00 00");
    EXPECT_FALSE(SimDevices()[module].changeMode);
    EXPECT_EQ(changed, std::vector<int>{module});

    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(ConnectModule(MODEL_QX209), 0);
}

TEST_F(CommandsTest, OneEntryIsWrittenAndReadByItsTableIndex) {
    int module = ConnectQx206();
    SetEntry(12, 0x0204);
    EXPECT_EQ(WriteKeyEntry(12), 1);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(Hex(SimWrites()[0].bytes), "00 55 AA 41 0C 02 04 00 00");
    EXPECT_EQ(SimDevices()[module].words[12], 0x0204);

    SimDevices()[module].words[3] = 0x0106;
    EXPECT_EQ(ReadKeyEntry(3), 1);
    EXPECT_EQ(Hex(SimWrites()[1].bytes), "00 55 AA 42 03 00 00 00 00");
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(Entry(index), index == 3 ? 0x0106 : index == 12 ? 0x0204 : 0) << index;
    }

    SimDevices()[module].unansweredIndex = 3;
    SimDevices()[module].words[3] = 0x0005;
    EXPECT_EQ(ReadKeyEntry(3), 0);
    EXPECT_EQ(WriteKeyEntry(3), 0);
    EXPECT_EQ(Entry(3), 0x0106);
}

}  // namespace
