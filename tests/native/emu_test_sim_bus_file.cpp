// The text form of the simulated bus that the demo program keeps in a file:
// what it reads, what it refuses and says so, and how it is written back.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "device/hid_link.h"
#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "emu/sim_bus.h"
#include "emu/sim_bus_file.h"
#include "model/key_table.h"

namespace {

const std::string EXAMPLE =
    "# one block per device on the bus, in enumeration order\n"
    "device 10F7:0209   # vendor:product in hex\n"
    "mode change        # change: presents the ids above\n"
    "firmware 1a        # version byte, hex\n"
    "silent 0\n"
    "fail 5\n"
    "reports 9 12\n"
    "keys 0106 4 0 0 0 0 0 0 0 0 0 0 0 0 0 ABCD\n"
    "\n"
    "device 046D:C077   # a foreign device\n";

TEST(SimBusFile, ReadsEveryFieldOfEachBlock) {
    SimBusText bus = ParseSimBus(EXAMPLE);
    EXPECT_TRUE(bus.problems.empty());
    ASSERT_EQ(bus.devices.size(), 2u);

    const SimDevice& module = bus.devices[0];
    EXPECT_EQ(module.vendorId, 0x10F7);
    EXPECT_EQ(module.productId, 0x209);
    EXPECT_TRUE(module.module);
    EXPECT_TRUE(module.changeMode);
    EXPECT_EQ(module.version, 0x1A);
    EXPECT_FALSE(module.silent);
    EXPECT_EQ(module.unansweredIndex, 5);
    EXPECT_EQ(module.outputLength, 9);
    EXPECT_EQ(module.inputLength, 12);
    EXPECT_EQ(module.words[0], 0x0106);
    EXPECT_EQ(module.words[1], 0x0004);
    EXPECT_EQ(module.words[14], 0);
    EXPECT_EQ(module.words[15], 0xABCD);

    const SimDevice& foreign = bus.devices[1];
    EXPECT_EQ(foreign.vendorId, 0x046D);
    EXPECT_EQ(foreign.productId, 0xC077);
    EXPECT_FALSE(foreign.module);
    EXPECT_NE(foreign.path, module.path);
}

TEST(SimBusFile, OnlyTheTwoModelIdsOfTheModuleVendorSpeakTheProtocol) {
    SimBusText bus = ParseSimBus("device 10F7:0206\ndevice 10f7:207\ndevice 10F8:0209\n");
    ASSERT_EQ(bus.devices.size(), 3u);
    EXPECT_TRUE(bus.devices[0].module);
    EXPECT_EQ(bus.devices[1].productId, 0x207);
    EXPECT_FALSE(bus.devices[1].module);
    EXPECT_FALSE(bus.devices[2].module);
}

TEST(SimBusFile, KeyboardModeAndSilenceAndCrLfLines) {
    SimBusText bus = ParseSimBus("device 10F7:0206\r\nmode keyboard\r\nsilent 1\r\n");
    EXPECT_TRUE(bus.problems.empty());
    ASSERT_EQ(bus.devices.size(), 1u);
    EXPECT_FALSE(bus.devices[0].changeMode);
    EXPECT_TRUE(bus.devices[0].silent);
}

TEST(SimBusFile, MissingSettingsKeepAFreshDevicesValues) {
    SimBusText bus = ParseSimBus("\tdevice   10F7:0209\t# only this\n");
    ASSERT_EQ(bus.devices.size(), 1u);
    SimDevice fresh = SimModule(0x209);
    const SimDevice& read = bus.devices[0];
    EXPECT_EQ(read.changeMode, fresh.changeMode);
    EXPECT_EQ(read.version, fresh.version);
    EXPECT_EQ(read.silent, fresh.silent);
    EXPECT_EQ(read.unansweredIndex, fresh.unansweredIndex);
    EXPECT_EQ(read.outputLength, fresh.outputLength);
    EXPECT_EQ(read.inputLength, fresh.inputLength);
    EXPECT_EQ(read.writeDelayMs, 0);
    EXPECT_EQ(read.replyDelayMs, 0);
    EXPECT_TRUE(read.opensForReports);
    EXPECT_TRUE(read.capsReadable);
    for (int i = 0; i < SIM_WORD_COUNT; ++i) EXPECT_EQ(read.words[i], 0) << i;
}

// The lines of a slow module and of interfaces the system keeps or cannot
// describe: read, and written out again only when they say something.
TEST(SimBusFile, DelaysAndInaccessibleInterfacesReadAndWriteBack) {
    SimBusText bus = ParseSimBus(
        "device 10F7:0206\ndelay 2500\nwrite-delay 60000\n"
        "device 046D:C31C\nopens 0\ncaps 0\n");
    ASSERT_TRUE(bus.problems.empty());
    ASSERT_EQ(bus.devices.size(), 2u);
    EXPECT_EQ(bus.devices[0].replyDelayMs, 2500);
    EXPECT_EQ(bus.devices[0].writeDelayMs, 60000);
    EXPECT_TRUE(bus.devices[0].opensForReports);
    EXPECT_FALSE(bus.devices[1].opensForReports);
    EXPECT_FALSE(bus.devices[1].capsReadable);
    const std::string slow = FormatSimDevice(bus.devices[0]);
    EXPECT_NE(slow.find("\ndelay 2500\nwrite-delay 60000\n"), std::string::npos) << slow;
    EXPECT_EQ(slow.find("opens"), std::string::npos) << slow;
    const std::string kept = FormatSimDevice(bus.devices[1]);
    EXPECT_NE(kept.find("\nopens 0\ncaps 0\n"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("delay"), std::string::npos) << kept;
    SimBusText again = ParseSimBus(slow + kept);
    ASSERT_EQ(again.devices.size(), 2u);
    EXPECT_EQ(again.devices[0].writeDelayMs, 60000);
    EXPECT_FALSE(again.devices[1].capsReadable);
}

TEST(SimBusFile, EmptyAndCommentOnlyTextsAreAnEmptyBus) {
    for (const char* text : {"", "\n\n", "# nothing here\n   # nor here", "\r\n"}) {
        SimBusText bus = ParseSimBus(text);
        EXPECT_TRUE(bus.devices.empty()) << text;
        EXPECT_TRUE(bus.problems.empty()) << text;
    }
}

// A faulty line in the first of two blocks: the first device is left out,
// the second is kept, and the fault is reported with its line number.
struct FaultCase {
    const char* line;
    const char* reported;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << '"' << fault.line << '"';
}

// "3_fail_16": the case's place and its line, as a test name can hold it.
std::string FaultName(const ::testing::TestParamInfo<FaultCase>& info) {
    std::string name = std::to_string(info.index) + "_";
    for (const char* c = info.param.line; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    }
    return name;
}

class SimBusFileFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SimBusFileFault, LeavesItsDeviceOutAndNamesTheLine) {
    std::string text = std::string("# bus\ndevice 10F7:0206\n") + GetParam().line +
                       "\ndevice 10F7:0209\nfirmware 12\n";
    SimBusText bus = ParseSimBus(text);
    ASSERT_EQ(bus.devices.size(), 1u);
    EXPECT_EQ(bus.devices[0].productId, 0x209);
    EXPECT_EQ(bus.devices[0].version, 0x12);
    ASSERT_EQ(bus.problems.size(), 1u);
    EXPECT_EQ(bus.problems[0],
              std::string("line 3: ") + GetParam().reported + "; the device of line 2 is left out");
}

INSTANTIATE_TEST_SUITE_P(
    BadLines, SimBusFileFault,
    ::testing::Values(
        FaultCase{"speed 3", "unknown setting \"speed\""},
        FaultCase{"Mode change", "unknown setting \"Mode\""},
        FaultCase{"mode sleep", "expected \"mode change|keyboard\""},
        FaultCase{"mode", "expected \"mode change|keyboard\""},
        FaultCase{"firmware 123", "expected \"firmware <hex byte>\""},
        FaultCase{"firmware 0x1", "expected \"firmware <hex byte>\""},
        FaultCase{"firmware 1 2", "expected \"firmware <hex byte>\""},
        FaultCase{"silent 2", "expected \"silent 0|1\""},
        FaultCase{"fail 16", "expected \"fail <table index 0..15, or -1>\""},
        FaultCase{"fail -2", "expected \"fail <table index 0..15, or -1>\""},
        FaultCase{"fail -", "expected \"fail <table index 0..15, or -1>\""},
        FaultCase{"reports 9", "expected \"reports <output length> <input length>, each 1..255\""},
        FaultCase{"reports 0 9",
                  "expected \"reports <output length> <input length>, each 1..255\""},
        FaultCase{"reports 9 256",
                  "expected \"reports <output length> <input length>, each 1..255\""},
        FaultCase{"keys 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
                  "expected \"keys <16 hex words of at most 4 digits>\""},
        FaultCase{"keys 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 10000",
                  "expected \"keys <16 hex words of at most 4 digits>\""},
        FaultCase{"keys 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
                  "expected \"keys <16 hex words of at most 4 digits>\""},
        FaultCase{"stuck 16", "expected \"stuck <table index 0..15, or -1>\""},
        FaultCase{"stuck", "expected \"stuck <table index 0..15, or -1>\""},
        FaultCase{"delay 60001", "expected \"delay <milliseconds 0..60000>\""},
        FaultCase{"delay -1", "expected \"delay <milliseconds 0..60000>\""},
        FaultCase{"write-delay 100000", "expected \"write-delay <milliseconds 0..60000>\""},
        FaultCase{"write-delay", "expected \"write-delay <milliseconds 0..60000>\""},
        FaultCase{"opens yes", "expected \"opens 0|1\""},
        FaultCase{"caps 2", "expected \"caps 0|1\""}),
    FaultName);

TEST(SimBusFile, BadDeviceLinesAndStrayLinesAreReported) {
    SimBusText bus = ParseSimBus(
        "firmware 12\n"         // 1: before any device
        "device 10F7\n"         // 2: no product
        "firmware 13\n"         // 3: belongs to the bad block, read no further
        "device 10F7:0209 x\n"  // 4: a word too many
        "device 10F7:12345\n"   // 5: five digits
        "device 10F7:0206\n");  // 6: fine
    ASSERT_EQ(bus.devices.size(), 1u);
    EXPECT_EQ(bus.devices[0].productId, 0x206);
    EXPECT_EQ(bus.problems, (std::vector<std::string>{
                                "line 1: \"firmware\" before any device line",
                                "line 2: expected \"device <hex>:<hex>\"",
                                "line 4: expected \"device <hex>:<hex>\"",
                                "line 5: expected \"device <hex>:<hex>\"",
                            }));
}

TEST(SimBusFile, ADeviceKeepsItsPathWhenOtherBlocksComeAndGo) {
    SimBusText before = ParseSimBus("device 046D:C077\ndevice 10F7:0209\ndevice 10F7:0209\n");
    SimBusText after = ParseSimBus("device 10F7:0209\ndevice 10F7:0206\ndevice 10F7:0209\n");
    ASSERT_EQ(before.devices.size(), 3u);
    ASSERT_EQ(after.devices.size(), 3u);
    EXPECT_NE(before.devices[1].path, before.devices[2].path);
    EXPECT_EQ(after.devices[0].path, before.devices[1].path);
    EXPECT_EQ(after.devices[2].path, before.devices[2].path);
}

TEST(SimBusFile, FormattedDeviceReadsBackTheSame) {
    SimDevice device = SimModule(0x206);
    device.changeMode = false;
    device.version = 0x1A;
    device.silent = true;
    device.unansweredIndex = 15;
    device.outputLength = 65;
    device.inputLength = 7;
    for (int i = 0; i < SIM_WORD_COUNT; ++i) device.words[i] = static_cast<uint16_t>(0x1111 * i);
    std::string text = FormatSimDevice(device);
    EXPECT_EQ(
        text,
        "device 10F7:0206\nmode keyboard\nfirmware 1A\nsilent 1\nfail 15\nreports 65 7\n"
        "delay 1\nkeys 0000 1111 2222 3333 4444 5555 6666 7777 8888 9999 AAAA BBBB CCCC DDDD EEEE "
        "FFFF\n");
    SimBusText bus = ParseSimBus(text);
    ASSERT_EQ(bus.devices.size(), 1u);
    const SimDevice& read = bus.devices[0];
    EXPECT_EQ(read.changeMode, false);
    EXPECT_EQ(read.version, 0x1A);
    EXPECT_TRUE(read.silent);
    EXPECT_EQ(read.unansweredIndex, 15);
    EXPECT_EQ(read.outputLength, 65);
    EXPECT_EQ(read.inputLength, 7);
    EXPECT_EQ(read.replyDelayMs, 1);
    for (int i = 0; i < SIM_WORD_COUNT; ++i) EXPECT_EQ(read.words[i], device.words[i]) << i;
}

// A module that answers the write of its stuck index and keeps the old word.
TEST(SimBusFile, StuckIndexIsWrittenOutOnlyWhenSetAndTheModuleKeepsItsWord) {
    SimBusText bus =
        ParseSimBus("device 10F7:0209\nstuck 5\nkeys 1 2 3 4 5 6 7 8 9 A B C D E F 0\n");
    ASSERT_TRUE(bus.problems.empty());
    ASSERT_EQ(bus.devices.size(), 1u);
    SimDevice module = bus.devices[0];
    EXPECT_EQ(module.stuckIndex, 5);
    EXPECT_EQ(FormatSimDevice(module),
              "device 10F7:0209\nmode change\nfirmware 21\nsilent 0\nfail -1\nreports 9 9\n"
              "stuck 5\nkeys 0001 0002 0003 0004 0005 0006 0007 0008 0009 000A 000B 000C 000D "
              "000E 000F 0000\n");
    EXPECT_EQ(FormatSimDevice(SimModule(0x209)).find("stuck"), std::string::npos);

    const uint8_t writeStuck[9] = {0x00, 0x55, 0xAA, 0x41, 5, 0x01, 0x06, 0, 0};
    const uint8_t writeNext[9] = {0x00, 0x55, 0xAA, 0x41, 6, 0x01, 0x06, 0, 0};
    SimAnswer stuck = SimTakeRequest(module, writeStuck, 9);
    EXPECT_TRUE(stuck.replies);
    EXPECT_FALSE(stuck.wordsChanged);
    EXPECT_EQ(module.words[5], 0x0006);
    EXPECT_TRUE(SimTakeRequest(module, writeNext, 9).wordsChanged);
    EXPECT_EQ(module.words[6], 0x0106);
}

TEST(SimBusFile, UpdateRewritesOnlyTheModeAndKeysOfThatDevice) {
    const std::string text =
        "# my bus\r\n"
        "device 10F7:0209\r\n"
        "  mode change   # in change mode\r\n"
        "keys 1 2 3 4 5 6 7 8 9 A B C D E F 10\r\n"
        "device 10F7:0209\r\n"
        "keys 1 2 3 4 5 6 7 8 9 A B C D E F 10\r\n";
    SimDevice second = ParseSimBus(text).devices.at(1);
    second.changeMode = false;
    second.words[0] = 0x0204;
    std::string updated = text;
    ASSERT_TRUE(UpdateSimBusText(&updated, second));
    EXPECT_EQ(updated,
              "# my bus\r\n"
              "device 10F7:0209\r\n"
              "  mode change   # in change mode\r\n"
              "keys 1 2 3 4 5 6 7 8 9 A B C D E F 10\r\n"
              "device 10F7:0209\r\n"
              "keys 0204 0002 0003 0004 0005 0006 0007 0008 0009 000A 000B 000C 000D 000E 000F "
              "0010\r\n"
              "mode keyboard\r\n");

    SimDevice first = ParseSimBus(updated).devices.at(0);
    first.changeMode = false;
    ASSERT_TRUE(UpdateSimBusText(&updated, first));
    EXPECT_NE(updated.find("  mode keyboard   # in change mode\r\n"), std::string::npos);
    EXPECT_EQ(ParseSimBus(updated).devices.at(1).words[0], 0x0204);
}

TEST(SimBusFile, UpdateOfADeviceNoLongerDescribedLeavesTheTextAlone) {
    SimDevice gone = ParseSimBus("device 10F7:0206\n").devices.at(0);
    std::string text = "device 10F7:0209\nkeys 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    EXPECT_FALSE(UpdateSimBusText(&text, gone));
    EXPECT_EQ(text, "device 10F7:0209\nkeys 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
}

// How the demo drives the bus: the text read back at every access and
// rewritten after every change carries a whole table write and a reset.
TEST(SimBusFile, TextReloadedAtEveryAccessAndRewrittenOnEveryChangeKeepsTheModule) {
    SimReset();
    g_hidLink = HidLink{};
    std::string file = "# kept\ndevice 10F7:0209\nfirmware 12\n";
    SimSetAccessHook([&](SimAccess) { SimDevices() = ParseSimBus(file).devices; });
    SimSetChangeHook([&](int position) { UpdateSimBusText(&file, SimDevices()[position]); });
    ASSERT_EQ(ConnectModule(0x209), 0x209);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), 0x0100 + index);
    }
    EXPECT_EQ(WriteKeyTable(), 1);
    EXPECT_EQ(ReadFirmwareVersion(), 0x12);
    SimDevice stored = ParseSimBus(file).devices.at(0);
    for (int i = 0; i < SIM_WORD_COUNT; ++i) EXPECT_EQ(stored.words[i], 0x0100 + i) << i;
    EXPECT_EQ(file.rfind("# kept\ndevice 10F7:0209\nfirmware 12\n", 0), 0u);

    ClearKeyTable();
    EXPECT_EQ(ReadKeyTable(), 0);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 8), 0x010F);
    EXPECT_EQ(Transact(CMD_RESET, 0, 0, 0, 0, 0), 1);
    EXPECT_FALSE(ParseSimBus(file).devices.at(0).changeMode);
    EXPECT_EQ(ConnectModule(0x209), 0);
    ClearKeyTable();
}

}  // namespace
