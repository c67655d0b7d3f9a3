// The shipped usbkbd.exe against the emulated module, through the calls it
// makes on Windows: module search at start and on device-change notices,
// and Write, Read and Reset checked on screen and byte for byte on the wire.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_view.h"
#include "logic/messages.h"
#include "shipped_program.h"

namespace {

constexpr int QX206 = 0x206;
constexpr int QX209 = 0x209;

constexpr char KEYS_LINE[] =
    "keys 0106 0004 0746 2345 00E6 0050 0090 0028 0204 2204 7714 0091 0059 0032 0747 FFFF\n";
constexpr uint16_t KEYS[TABLE_SIZE] = {0x0106, 0x0004, 0x0746, 0x2345, 0x00E6, 0x0050,
                                       0x0090, 0x0028, 0x0204, 0x2204, 0x7714, 0x0091,
                                       0x0059, 0x0032, 0x0747, 0xFFFF};
constexpr char KEYS_DUMP[] =
    " > Scan Code : \r\n"
    "    0106  0004  0746  2345  00E6  0050  0090  0028 \r\n"
    "    0204  2204  7714  0091  0059  0032  0747  FFFF\r\n";
constexpr char TABLE_FILE[] =
    "0106 0004 0746 2345 00E6 0050 0090 0028\r\n"
    "0204 2204 7714 0091 0059 0032 0747 FFFF\r\n";

std::string Connected(const char* format, int model) {
    char shown[8];
    std::snprintf(shown, sizeof shown, "%x", model);
    return Filled(format, "%x", shown);
}

std::string ConnectedStatus(int model) {
    return model == QX206 ? " Connected USB Keyboard Module - QX206"
                          : " Connected USB Keyboard Module - QX209";
}

// The program, started on the bus when its window shows the first search's outcome.
struct Started {
    explicit Started(const std::string& bus, const std::wstring& arguments = L"",
                     const wchar_t* folderStem = L"usbkbd-shipped-")
        : folder(folderStem) {
        folder.Write(L"bus.txt", bus);
        if (!arguments.empty()) folder.Write(arguments.c_str(), TABLE_FILE);
        program = std::make_unique<ShippedProgram>(folder, arguments);
    }
    ~Started() {
        if (::testing::Test::HasFailure()) {
            std::printf("the wire:\n%s", folder.Read(L"wire.txt").c_str());
        }
        if (!program->Window()) return;
        std::string output;
        EXPECT_EQ(program->Close(&output), 0u);
        EXPECT_EQ(output, "");
    }
    Folder folder;
    std::unique_ptr<ShippedProgram> program;
};

// ----- module search -----

TEST(ShippedSearch, EachModelAloneIsConnectedAtStart) {
    for (int model : {QX206, QX209}) {
        char block[64];
        std::snprintf(block, sizeof block, "device 10F7:%04X\n", model);
        Started run(block);
        ASSERT_NE(run.program->Window(), nullptr);
        EXPECT_EQ(run.program->Console(), Connected(Shown(MSG_CONNECTED_AT_START), model));
        EXPECT_EQ(run.program->Status(), ConnectedStatus(model));
    }
}

TEST(ShippedSearch, Qx206IsChosenWhenBothModelsArePresent) {
    Started run("device 10F7:0209\ndevice 10F7:0206\n");
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Connected(Shown(MSG_CONNECTED_AT_START), QX206));
}

// What the system lists before the module: a foreign device, a keyboard
// that the system keeps to itself, one whose report lengths cannot be had,
// and a module of the other model whose reports are not the module's.
TEST(ShippedSearch, ForeignInaccessibleAndUnfitInterfacesBeforeTheModuleArePassedOver) {
    Started run(
        "device 046D:C077\n"
        "device 046D:C31C\nopens 0\n"
        "device 045E:0040\ncaps 0\n"
        "device 10F7:0206\nreports 8 8\n"
        "device 10F7:0209\n");
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Connected(Shown(MSG_CONNECTED_AT_START), QX209));
    EXPECT_EQ(run.program->Status(), ConnectedStatus(QX209));
}

TEST(ShippedSearch, NoModuleLeavesTheHelpTextAndAnEmptyStatus) {
    Started run("device 046D:C077\ndevice 10F7:0207\ndevice 10F7:0209\nmode keyboard\n");
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Shown(MSG_HELP));
    EXPECT_EQ(run.program->Status(), "");
}

TEST(ShippedSearch, ArrivalAndRemovalFollowTheNotices) {
    Started run("# nothing plugged in\n");
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Shown(MSG_HELP));

    run.folder.Write(L"bus.txt", "device 046D:C077\ndevice 10F7:0209\n");
    EXPECT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX209)))
        << run.program->Console();
    EXPECT_EQ(run.program->Status(), ConnectedStatus(QX209));

    run.folder.Write(L"bus.txt", "device 046D:C077\n");
    EXPECT_TRUE(run.program->ConsoleBecomes(Shown(MSG_REMOVED))) << run.program->Console();
    EXPECT_EQ(run.program->Status(), " Removed USB Keyboard Module");

    run.folder.Write(L"bus.txt", "device 10F7:0206\n");
    EXPECT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX206)))
        << run.program->Console();
}

// ----- Write, Read and Reset on the wire -----

std::vector<std::string> WriteRequests(int model, const uint16_t (&words)[TABLE_SIZE]) {
    std::vector<std::string> lines;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        lines.push_back(RequestLine(model, 0x41, index, words[index] >> 8, words[index] & 0xFF));
    }
    return lines;
}

TEST(ShippedCommands, WriteSendsEveryEntryAndTheModuleKeepsIt) {
    Started run("device 10F7:0209\nfirmware 12\n", L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_WRITE);
    EXPECT_EQ(run.program->Console(), std::string(KEYS_DUMP) + Shown(MSG_WRITE_DONE));
    EXPECT_EQ(AwaitWireLines(run.folder, TABLE_SIZE, "W"), WriteRequests(QX209, KEYS));
    EXPECT_EQ(AwaitWireLines(run.folder, TABLE_SIZE, "R"),
              std::vector<std::string>(TABLE_SIZE, ReplyLine(QX209, 0x12)));
    EXPECT_EQ(run.folder.Read(L"bus.txt"),
              std::string("device 10F7:0209\nfirmware 12\n") + "mode change\n" + KEYS_LINE);
}

struct VersionCase {
    int version;
    const char* shown;
};

void PrintTo(const VersionCase& versionCase, std::ostream* out) {
    char name[16];
    std::snprintf(name, sizeof name, "Byte%02X", versionCase.version);
    *out << name;
}

class ShippedRead : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ShippedRead, ShowsTheVersionAndTheModulesTable) {
    char firmware[32];
    std::snprintf(firmware, sizeof firmware, "firmware %02X\n", GetParam().version);
    Started run(std::string("device 10F7:0209\n") + firmware + KEYS_LINE);
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(
        run.program->Console(),
        Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", GetParam().shown) + Shown(MSG_READ_DONE));
    std::vector<std::string> wire = {RequestLine(QX209, 0x40),
                                     ReplyLine(QX209, GetParam().version)};
    for (int index = 0; index < TABLE_SIZE; ++index) {
        wire.push_back(RequestLine(QX209, 0x42, index));
        wire.push_back(ReplyLine(QX209, GetParam().version, KEYS[index]));
    }
    EXPECT_EQ(AwaitWireLines(run.folder, wire.size()), wire);
    ExpectSlotTexts(run.program->Window(), KEYS);
}

INSTANTIATE_TEST_SUITE_P(Versions, ShippedRead,
                         ::testing::Values(VersionCase{0x12, "1.2"}, VersionCase{0x1A, "1.10"}));

// After the reset the module has left change mode, without a notice: the
// commands go on failing as with a module gone, and the next notice grays
// them without a removal text.
TEST(ShippedCommands, ResetLeavesChangeModeAndLaterCommandsFindTheModuleGone) {
    Started run("device 10F7:0209\n", L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_USB_RESET);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RESET_DONE));
    EXPECT_EQ(run.program->Status(), "");
    EXPECT_EQ(AwaitWireLines(run.folder, 2),
              (std::vector<std::string>{RequestLine(QX209, 0x4F), ReplyLine(QX209, 0x21)}));
    EXPECT_NE(run.folder.Read(L"bus.txt").find("\nmode keyboard\n"), std::string::npos);

    run.program->Command(IDM_DATA_WRITE);
    EXPECT_EQ(run.program->Console(), std::string(KEYS_DUMP) + Shown(MSG_WRITE_ERROR));
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_EQ(WireLines(run.folder).size(), 2u);

    PostMessageW(run.program->Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    run.program->Command(0);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_EQ(run.program->Status(), "");
}

// ----- modules that fail, answer late or go away -----

std::string WithKeys(const std::string& block) {
    return block + KEYS_LINE;
}

// A whole Read on the wire: its requests, and the replies the program read,
// after any it took off before the first request. The record may write the
// line of a report taken just before a request after the request's line.
void ExpectEveryRequestAnswered(const Folder& folder, int version,
                                std::vector<std::string> replies = {}) {
    std::vector<std::string> requests = {RequestLine(QX209, 0x40)};
    replies.push_back(ReplyLine(QX209, version));
    for (int index = 0; index < TABLE_SIZE; ++index) {
        requests.push_back(RequestLine(QX209, 0x42, index));
        replies.push_back(ReplyLine(QX209, version, KEYS[index]));
    }
    AwaitWireLines(folder, requests.size() + replies.size());
    EXPECT_EQ(WireLines(folder, "W"), requests);
    EXPECT_EQ(WireLines(folder, "R"), replies);
}

// The emulator takes the bus file's and the record's names from the
// environment as the demo does, whatever the system's code page.
TEST(ShippedCommands, BusFileAndRecordInAFolderWithAKoreanNameServeAsAnyOther) {
    Started run(WithKeys("device 10F7:0209\nfirmware 12\n"), L"", L"usbkbd-\uBAA8\uB4C8-");
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Connected(Shown(MSG_CONNECTED_AT_START), QX209));
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(),
              Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", "1.2") + Shown(MSG_READ_DONE));
    ExpectEveryRequestAnswered(run.folder, 0x12);
}

TEST(ShippedFailures, SilentModuleTimesOutEveryEntryAndTheWindowGoesOn) {
    Started run("device 10F7:0209\nsilent 1\n", L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_WRITE);
    EXPECT_EQ(run.program->Console(), std::string(KEYS_DUMP) + Shown(MSG_WRITE_ERROR));
    EXPECT_EQ(AwaitWireLines(run.folder, TABLE_SIZE, "W"), WriteRequests(QX209, KEYS));
    EXPECT_TRUE(WireLines(run.folder, "QR").empty());

    // It answers again: the next command goes through as ever.
    run.folder.Write(L"bus.txt", "device 10F7:0209\nsilent 0\n");
    ASSERT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX209)));
    run.program->Command(IDM_DATA_WRITE);
    EXPECT_EQ(run.program->Console(), std::string(KEYS_DUMP) + Shown(MSG_WRITE_DONE));
    EXPECT_EQ(AwaitWireLines(run.folder, TABLE_SIZE, "R").size(), static_cast<size_t>(TABLE_SIZE));
}

TEST(ShippedFailures, VersionZeroEndsTheReadWithTheReceiveError) {
    Started run("device 10F7:0209\nfirmware 00\n", L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_EQ(AwaitWireLines(run.folder, 2),
              (std::vector<std::string>{RequestLine(QX209, 0x40), ReplyLine(QX209, 0)}));
    ExpectSlotTexts(run.program->Window(), KEYS);
}

// The module loses the requests for entry 5: the read fails, the panel keeps
// what it showed, and the table holds the module's words but for entry 5.
TEST(ShippedFailures, OneLostEntryFailsTheReadAndTheOthersAreRead) {
    const char module[] =
        "device 10F7:0209\nfail 5\n"
        "keys 0005 0006 0007 0008 0009 000A 000B 000C 000D 000E 000F 0010 0011 0012 0013 0014\n";
    Started run(module, L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_EQ(AwaitWireLines(run.folder, 1 + TABLE_SIZE, "W").size(), 1u + TABLE_SIZE);
    EXPECT_EQ(AwaitWireLines(run.folder, TABLE_SIZE, "R").size(), TABLE_SIZE + 0u);
    ExpectSlotTexts(run.program->Window(), KEYS);

    run.folder.Write(L"bus.txt", "device 10F7:0209\n");
    ASSERT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX209)));
    run.program->Command(IDM_DATA_WRITE);
    EXPECT_EQ(run.program->Console(),
              std::string(" > Scan Code : \r\n"
                          "    0005  0006  0007  0008  0009  0050  000B  000C \r\n"
                          "    000D  000E  000F  0010  0011  0012  0013  0014\r\n") +
                  Shown(MSG_WRITE_DONE));
}

TEST(ShippedFailures, ResetFailureKeepsTheConnectionShownAndALaterRemovalIsReported) {
    Started run("device 10F7:0206\nsilent 1\n");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_USB_RESET);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RESET_ERROR));
    EXPECT_EQ(run.program->Status(), ConnectedStatus(QX206));
    EXPECT_EQ(AwaitWireLines(run.folder, 1), std::vector<std::string>{RequestLine(QX206, 0x4F)});

    run.folder.Write(L"bus.txt", "# unplugged\n");
    EXPECT_TRUE(run.program->ConsoleBecomes(Shown(MSG_REMOVED))) << run.program->Console();
    EXPECT_EQ(run.program->Status(), " Removed USB Keyboard Module");
}

// A write the module takes only after the program's time limit fails, and
// the module never has it.
TEST(ShippedFailures, WriteTakenOnlyAfterTheTimeLimitFails) {
    Started run("device 10F7:0209\nwrite-delay 2500\n");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_TRUE(WireLines(run.folder, "WQR").empty());
}

// The replies come 2500 ms after their requests, past the program's wait of
// 2000 ms: the version query fails, and its reply reaches only the opening
// the program gave up. Once the module is prompt again, the next Read opens
// the module anew and every reply answers its own request.
TEST(ShippedFailures, ReplyAfterTheTimeOutIsNeverTakenForTheNextRequest) {
    Started run(WithKeys("device 10F7:0209\nfirmware 12\ndelay 2500\n"));
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    ASSERT_EQ(AwaitWireLines(run.folder, 1, "Q").size(), 1u);
    EXPECT_EQ(WireLines(run.folder, "WQR"),
              (std::vector<std::string>{RequestLine(QX209, 0x40),
                                        "Q" + ReplyLine(QX209, 0x12).substr(1)}));

    run.folder.Write(L"bus.txt", WithKeys("device 10F7:0209\nfirmware 12\n"));
    ASSERT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX209)));
    run.folder.Write(L"wire.txt", "");
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(),
              Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", "1.2") + Shown(MSG_READ_DONE));
    ExpectEveryRequestAnswered(run.folder, 0x12);
    ExpectSlotTexts(run.program->Window(), KEYS);
}

// The same late reply, but a device-change notice, which a PC gives
// whenever any device comes or goes, opens the module anew before the reply
// comes (4 s after the time-out): the reply waits for the new opening's
// reader, and the next Read takes it off, unanswered, before its first request.
TEST(ShippedFailures, ALateReplyWaitingOnTheOpeningOfANoticeIsDroppedBeforeTheNextRequest) {
    Started run(WithKeys("device 10F7:0209\nfirmware 12\ndelay 6000\n"));
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    run.folder.Write(L"bus.txt", WithKeys("device 10F7:0209\nfirmware 12\n"));
    SendMessageW(run.program->Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_EQ(AwaitWireLines(run.folder, 1, "Q").size(), 1u);

    run.folder.Write(L"wire.txt", "");
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(),
              Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", "1.2") + Shown(MSG_READ_DONE));
    ExpectEveryRequestAnswered(run.folder, 0x12, {ReplyLine(QX209, 0x12)});
    ExpectSlotTexts(run.program->Window(), KEYS);
}

// Each write takes 200 ms; the module leaves the bus after its third. The
// console is asked for while the command still runs, so that the answer
// shows what the command ended with, before the removal notice is taken.
void UnplugDuringCommand(int command, const std::string& expected) {
    Started run(WithKeys("device 10F7:0209\nwrite-delay 200\n"), L"table.kbd");
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->PostCommand(command);
    ASSERT_GE(AwaitWireLines(run.folder, 3, "W").size(), 3u);
    run.folder.Write(L"bus.txt", "# unplugged\n");
    EXPECT_EQ(run.program->Console(), expected);
    size_t taken = WireLines(run.folder, "W").size();
    EXPECT_GE(taken, 3u);
    EXPECT_LT(taken, 1u + TABLE_SIZE);
    EXPECT_TRUE(run.program->ConsoleBecomes(Shown(MSG_REMOVED))) << run.program->Console();
    EXPECT_EQ(run.program->Status(), " Removed USB Keyboard Module");
}

TEST(ShippedFailures, UnplugInTheMiddleOfAWriteFailsTheRest) {
    UnplugDuringCommand(IDM_DATA_WRITE, std::string(KEYS_DUMP) + Shown(MSG_WRITE_ERROR));
}

TEST(ShippedFailures, UnplugInTheMiddleOfAReadEndsWithTheReceiveError) {
    UnplugDuringCommand(IDM_DATA_READ, Shown(MSG_RECEIVE_ERROR));
}

}  // namespace
