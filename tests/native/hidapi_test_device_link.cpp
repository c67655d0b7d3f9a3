// The device link over the hidapi transport: module search among several
// interfaces, whole tables, a module that goes in the middle of one.
#include <cerrno>
#include <cstdint>
#include <vector>

#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "hidapi_test_support.h"

namespace {

using DeviceLinkTest = HidapiTest;

void SetEntry(int index, int32_t value) {
    SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), value);
}

int32_t Entry(int index) {
    return GetKeyCode(LayerOfIndex(index), SlotOfIndex(index));
}

void FillTable(int32_t first) {
    for (int index = 0; index < TABLE_SIZE; ++index) SetEntry(index, first + 0x0101 * index);
}

FakeInterface KeyboardInterfaceOf(const std::string& path, int productId) {
    FakeInterface keyboard = FakeModule(path, productId);
    keyboard.descriptor = BootKeyboardDescriptor();
    keyboard.module = false;
    return keyboard;
}

const uint16_t* WordsOf(int interface) {
    return FakeHidInterface(interface).moduleState.words;
}

TEST_F(DeviceLinkTest, AWholeTableGoesToTheModuleAndComesBackUnchanged) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    FillTable(0x0104);
    SetEntry(9, 0x0204);
    EXPECT_EQ(WriteKeyTable(), 1);
    ASSERT_EQ(FakeHidWrites().size(), 16u);
    EXPECT_EQ(FakeHidWrites()[9].bytes,
              (std::vector<uint8_t>{0x00, 0x55, 0xAA, 0x41, 0x09, 0x02, 0x04, 0x00, 0x00}));
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(WordsOf(module)[index], Entry(index)) << index;
    }

    ClearKeyTable();
    EXPECT_EQ(ReadFirmwareVersion(), 0x21);
    EXPECT_EQ(ReadKeyTable(), 0);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(Entry(index), WordsOf(module)[index]) << index;
    }
    EXPECT_EQ(FakeHidCount().opens, 1);
}

TEST_F(DeviceLinkTest, TheSearchTakesTheInterfaceOfTheModuleWhoseReportsFit) {
    // The module's keyboard interface (2-byte output, 9-byte input reports)
    // beside its vendor-defined one, in either order.
    for (bool keyboardFirst : {true, false}) {
        SCOPED_TRACE(keyboardFirst ? "keyboard interface first" : "keyboard interface last");
        TearDown();
        SetUp();
        if (keyboardFirst) FakeHidAdd(KeyboardInterfaceOf("/dev/hidraw4", 0x209));
        FakeHidAdd(FakeModule("/dev/hidraw5", 0x209));
        if (!keyboardFirst) FakeHidAdd(KeyboardInterfaceOf("/dev/hidraw6", 0x209));
        ASSERT_EQ(ConnectModule(0x209), 0x209);
        EXPECT_EQ(g_hidLink.outputReportLength, 9);
        EXPECT_EQ(g_hidLink.inputReportLength, 9);
        EXPECT_EQ(ReadFirmwareVersion(), 0x21);
        ASSERT_EQ(FakeHidWrites().size(), 1u);
        EXPECT_EQ(FakeHidWrites()[0].path, "/dev/hidraw5");
        EXPECT_EQ(FakeHidCount().opens, 1);
    }
}

TEST_F(DeviceLinkTest, AModuleThatMayNotBeOpenedIsNotConnectedAndSaysWhy) {
    FakeInterface refusing = FakeModule("/dev/hidraw3", 0x206);
    refusing.openErrno = EACCES;
    FakeHidAdd(refusing);
    EXPECT_EQ(ConnectModule(0x206), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(HidLastFailure(), HidFailure::AccessDenied);
    EXPECT_EQ(ReadFirmwareVersion(), 0);
    EXPECT_TRUE(FakeHidWrites().empty());
}

TEST_F(DeviceLinkTest, AModuleThatGoesInTheMiddleOfAWriteGetsTheEntriesBeforeOnly) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    FakeHidInterface(module).vanishAfterWrites = 6;
    FillTable(0x0104);
    EXPECT_EQ(WriteKeyTable(), 0);
    EXPECT_EQ(FakeHidWrites().size(), 6u);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(WordsOf(module)[index], index < 6 ? Entry(index) : 0) << index;
    }
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(HidLastFailure(), HidFailure::NotConnected);
    // The seventh write found the module gone; each of the nine after it
    // searched once.
    EXPECT_EQ(FakeHidCount().enumerations, 1 + 9);
}

TEST_F(DeviceLinkTest, AModuleThatGoesInTheMiddleOfAReadLeavesTheRestOfTheTable) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    for (int index = 0; index < TABLE_SIZE; ++index) {
        FakeHidInterface(module).moduleState.words[index] = static_cast<uint16_t>(0x0A00 + index);
    }
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    FakeHidInterface(module).vanishAfterWrites = 6;
    FillTable(0x0104);
    EXPECT_EQ(ReadKeyTable(), 10);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(Entry(index), index < 6 ? 0x0A00 + index : 0x0104 + 0x0101 * index) << index;
    }
}

TEST_F(DeviceLinkTest, AModuleThatComesBackInTheMiddleOfAWriteGetsTheRemainingEntries) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    FakeHidInterface(module).vanishAfterWrites = 6;
    // Back by the second search after it went: entries 6 and 7 are lost.
    int searches = 0;
    FakeHidOnEnumerate([&] {
        if (++searches == 2) FakeHidReplug(module);
    });
    FillTable(0x0104);
    EXPECT_EQ(WriteKeyTable(), 0);
    EXPECT_EQ(FakeHidWrites().size(), 14u);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        bool lost = index == 6 || index == 7;
        EXPECT_EQ(WordsOf(module)[index], lost ? 0 : Entry(index)) << index;
    }
    EXPECT_EQ(g_hidLink.linkUp, 1);
    EXPECT_EQ(FakeHidCount().opens, 2);
}

TEST_F(DeviceLinkTest, AReportTheModuleSentUnaskedIsNotTakenAsAReply) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    FakeHidInterface(module).moduleState.words[2] = 0x0105;
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    for (int stale = 0; stale < 3; ++stale) {
        FakeHidQueueInput(module, {0x01, 0x99, 0x7F, 0x7F, 0x00, 0xFF, 0x00, 0x00});
    }
    EXPECT_EQ(ReadFirmwareVersion(), 0x21);
    // Taken without waiting, until a read found none; then the reply's wait.
    EXPECT_EQ(FakeHidReadTimeouts(), (std::vector<int>{0, 0, 0, 0, REPLY_TIMEOUT_MS}));
    FakeHidQueueInput(module, {0x01, 0x99, 0x7F, 0x7F, 0x00, 0xFF, 0x00, 0x00});
    EXPECT_EQ(ReadKeyTable(), 0);
    EXPECT_EQ(Entry(2), 0x0105);
}

TEST_F(DeviceLinkTest, ADeviceThatNeverStopsSendingStillGetsTheRequest) {
    int module = FakeHidAdd(FakeModule("/dev/hidraw0", 0x206));
    ASSERT_EQ(ConnectModule(0x206), 0x206);
    FakeHidInterface(module).chatty = true;
    Transact(CMD_VERSION, 0, 0, 0, 0, 0);
    std::vector<int> timeouts = FakeHidReadTimeouts();
    ASSERT_EQ(timeouts.size(), DISCARD_LIMIT + 1u);
    EXPECT_EQ(std::vector<int>(timeouts.begin(), timeouts.end() - 1),
              std::vector<int>(DISCARD_LIMIT, 0));
    EXPECT_EQ(FakeHidWrites().size(), 1u);
}

}  // namespace
