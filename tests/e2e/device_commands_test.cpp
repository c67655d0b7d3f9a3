// Data > Write, Data > Read and USB > Reset with a simulated module: what
// the console, the status bar, the menus and the panel show, what reaches
// the module, and the cursor while a command runs and after it.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "emu/sim_bus.h"
#include "logic/messages.h"
#include "device_view.h"

namespace {

constexpr int32_t TABLE[TABLE_SIZE] = {0x0106, 0x0004, 0x0746, 0x12345, 0x00E6, 0x0050,
                                       0x0090, 0x0028, 0x0204, 0x2204,  0x7714, 0x0091,
                                       0x0059, 0x0032, 0x0747, 0xFFFF};
constexpr char TABLE_DUMP[] =
    " > Scan Code : \r\n"
    "    0106  0004  0746  12345  00E6  0050  0090  0028 \r\n"
    "    0204  2204  7714  0091  0059  0032  0747  FFFF\r\n";

// What the module keeps of each entry: its low 16 bits.
constexpr uint16_t MODULE_WORDS[TABLE_SIZE] = {0x0106, 0x0004, 0x0746, 0x2345, 0x00E6, 0x0050,
                                               0x0090, 0x0028, 0x0204, 0x2204, 0x7714, 0x0091,
                                               0x0059, 0x0032, 0x0747, 0xFFFF};

constexpr int TIMED_OUT_TRANSACTION_MS = 40 + 2000;

void SetTable(const int32_t (&words)[TABLE_SIZE]) {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), words[index]);
    }
}

int AddModule(int model) {
    SimReset();
    return SimAddDevice(SimModule(model));
}

HCURSOR Cursor(LPCWSTR id) {
    return LoadCursorW(nullptr, id);
}

// The cursor of the window's thread, as the person sees it over the window.
HCURSOR CursorOf(const AppUnderTest& app) {
    DWORD windowThread = GetWindowThreadProcessId(app.Window(), nullptr);
    AttachThreadInput(GetCurrentThreadId(), windowThread, TRUE);
    HCURSOR cursor = GetCursor();
    AttachThreadInput(GetCurrentThreadId(), windowThread, FALSE);
    return cursor;
}

// Records the cursor each time the program touches the bus, which happens
// on the window's thread in the middle of a command.
std::vector<HCURSOR>& CursorsDuringCommand() {
    static std::vector<HCURSOR> cursors;
    SimSetAccessHook([](SimAccess) { cursors.push_back(GetCursor()); });
    return cursors;
}

void ExpectWaitThenArrow(const AppUnderTest& app, const std::vector<HCURSOR>& during) {
    EXPECT_FALSE(during.empty());
    for (HCURSOR cursor : during) EXPECT_EQ(cursor, Cursor(IDC_WAIT));
    EXPECT_EQ(CursorOf(app), Cursor(IDC_ARROW));
}

TEST(WriteCommand, EmptyTableIsListedAsZerosAndWrittenToTheModule) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].words[3] = 0x0104;
    AppUnderTest app;
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app), std::string(EMPTY_TABLE_DUMP) + Shown(MSG_WRITE_DONE));
    for (int i = 0; i < TABLE_SIZE; ++i) EXPECT_EQ(SimDevices()[module].words[i], 0) << i;
    EXPECT_EQ(SimWrites().size(), 16u);
    ExpectWaitThenArrow(app, cursors);
    ExpectDeviceCommands(app, true);
}

TEST(WriteCommand, FullTableIsListedWordByWordAndWrittenToTheModule) {
    int module = AddModule(MODEL_QX206);
    AppUnderTest app;
    SetTable(TABLE);
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app), std::string(TABLE_DUMP) + Shown(MSG_WRITE_DONE));
    for (int i = 0; i < TABLE_SIZE; ++i) {
        EXPECT_EQ(SimDevices()[module].words[i], MODULE_WORDS[i]) << i;
    }
}

TEST(WriteCommand, ModuleGoneGivesTheTransferErrorAfterTheListing) {
    int module = AddModule(MODEL_QX209);
    AppUnderTest app;
    SetTable(TABLE);
    SimUnplug(module);
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app), std::string(TABLE_DUMP) + Shown(MSG_WRITE_ERROR));
    EXPECT_TRUE(SimWrites().empty());
    ExpectWaitThenArrow(app, cursors);
    ExpectDeviceCommands(app, true);
}

// The bus runs on the virtual clock here: the sixteen waits of two seconds
// each pass at once, and the clock tells that every one of them ran out.
TEST(WriteCommand, SilentModuleTimesOutSixteenTimesAndTheWindowGoesOn) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].silent = true;
    AppUnderTest app;
    int64_t start = SimNowMs();
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app), std::string(EMPTY_TABLE_DUMP) + Shown(MSG_WRITE_ERROR));
    EXPECT_EQ(SimCount().timedOutReads, 16);
    EXPECT_EQ(SimWrites().size(), 16u);
    EXPECT_GE(SimNowMs() - start, 16 * TIMED_OUT_TRANSACTION_MS);
    EXPECT_EQ(CursorOf(app), Cursor(IDC_ARROW));

    // The module answers again: the window takes the next command as ever.
    SimDevices()[module].silent = false;
    SetTable(TABLE);
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app), std::string(TABLE_DUMP) + Shown(MSG_WRITE_DONE));
    EXPECT_EQ(SimDevices()[module].words[15], 0xFFFF);
}

struct VersionCase {
    int version;
    const char* shown;
};

// Names the case in the test list: Byte12, Byte1A.
void PrintTo(const VersionCase& versionCase, std::ostream* out) {
    char name[16];
    std::snprintf(name, sizeof name, "Byte%02X", versionCase.version);
    *out << name;
}

class ReadCommand : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ReadCommand, ShowsTheVersionAndTheModulesTableInTheNormalLayer) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].version = GetParam().version;
    for (int i = 0; i < TABLE_SIZE; ++i) SimDevices()[module].words[i] = MODULE_WORDS[i];
    AppUnderTest app;
    ClickLayerButton(app, ID_SHIFT_LAYER);
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    app.Command(IDM_DATA_READ);
    EXPECT_EQ(ConsoleOf(app), Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", GetParam().shown) +
                                  Shown(MSG_READ_DONE));
    ExpectWaitThenArrow(app, cursors);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
    const int32_t normal[SLOT_COUNT] = {0x0106, 0x0004, 0x0746, 0x2345,
                                        0x00E6, 0x0050, 0x0090, 0x0028};
    ExpectSlotTexts(app, normal);
    SaveScreenshot(app.Window(), "after-read");

    ClickLayerButton(app, ID_SHIFT_LAYER);
    const int32_t shift[SLOT_COUNT] = {0x0204, 0x2204, 0x7714, 0x0091,
                                       0x0059, 0x0032, 0x0747, 0xFFFF};
    ExpectSlotTexts(app, shift);
}

INSTANTIATE_TEST_SUITE_P(Versions, ReadCommand,
                         ::testing::Values(VersionCase{0x12, "1.2"}, VersionCase{0x1A, "1.10"}));

// The version query fails: only the receive error, nothing else changes.
void ExpectFailedVersionQuery(AppUnderTest& app) {
    SetTable(TABLE);
    ClickLayerButton(app, ID_SHIFT_LAYER);
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    size_t writesBefore = SimWrites().size();
    app.Command(IDM_DATA_READ);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_RECEIVE_ERROR));
    EXPECT_LE(SimWrites().size() - writesBefore, 1u);
    ExpectWaitThenArrow(app, cursors);
    ExpectLayerButtons(app, true, ID_SHIFT_LAYER);
    const int32_t shift[SLOT_COUNT] = {0x0204, 0x2204, 0x7714, 0x0091,
                                       0x0059, 0x0032, 0x0747, 0xFFFF};
    ExpectSlotTexts(app, shift);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)), TABLE[index]) << index;
    }
}

TEST(ReadFailure, VersionZeroEndsWithTheReceiveError) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].version = 0;
    AppUnderTest app;
    ExpectFailedVersionQuery(app);
}

TEST(ReadFailure, ModuleGoneEndsWithTheReceiveError) {
    int module = AddModule(MODEL_QX209);
    AppUnderTest app;
    SimUnplug(module);
    ExpectFailedVersionQuery(app);
}

TEST(ReadFailure, OneLostEntryLeavesThePanelButTheOtherEntriesAreRead) {
    int module = AddModule(MODEL_QX209);
    for (int i = 0; i < TABLE_SIZE; ++i) SimDevices()[module].words[i] = MODULE_WORDS[i];
    SimDevices()[module].unansweredIndex = 5;
    const int32_t before[TABLE_SIZE] = {0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A,
                                        0x000B, 0x000C, 0x000D, 0x000E, 0x000F, 0x0010,
                                        0x0011, 0x0012, 0x0013, 0x0014};
    SetTable(before);
    AppUnderTest app;
    ClickLayerButton(app, ID_NORMAL_LAYER);
    app.Command(IDM_DATA_READ);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_RECEIVE_ERROR));
    const int32_t shown[SLOT_COUNT] = {0x0005, 0x0006, 0x0007, 0x0008,
                                       0x0009, 0x000A, 0x000B, 0x000C};
    ExpectSlotTexts(app, shown);

    // The table now holds the module's words but for entry 5, as a Write lists it.
    SimDevices()[module].unansweredIndex = -1;
    app.Command(IDM_DATA_WRITE);
    EXPECT_EQ(ConsoleOf(app),
              std::string(" > Scan Code : \r\n"
                          "    0106  0004  0746  2345  00E6  000A  0090  0028 \r\n"
                          "    0204  2204  7714  0091  0059  0032  0747  FFFF\r\n") +
                  Shown(MSG_WRITE_DONE));
}

TEST(ResetCommand, EmptiesTheStatusAndTheNextNoticeGraysWithoutARemovalText) {
    int module = AddModule(MODEL_QX209);
    AppUnderTest app;
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    app.Command(IDM_USB_RESET);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_RESET_DONE));
    EXPECT_EQ(StatusOf(app), "");
    ExpectDeviceCommands(app, true);
    ExpectWaitThenArrow(app, cursors);
    EXPECT_FALSE(SimDevices()[module].changeMode);

    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_RESET_DONE));
    EXPECT_EQ(StatusOf(app), "");
    ExpectDeviceCommands(app, false);
    ExpectLayerButtons(app, true, ID_NORMAL_LAYER);
}

TEST(ResetCommand, FailureKeepsTheConnectionShownAndALaterRemovalIsReported) {
    int module = AddModule(MODEL_QX206);
    AppUnderTest app;
    SimUnplug(module);
    std::vector<HCURSOR>& cursors = CursorsDuringCommand();
    app.Command(IDM_USB_RESET);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_RESET_ERROR));
    EXPECT_EQ(StatusOf(app), " Connected USB Keyboard Module - QX206");
    ExpectDeviceCommands(app, true);
    ExpectWaitThenArrow(app, cursors);

    NoticeDeviceChange(app);
    EXPECT_EQ(ConsoleOf(app), Shown(MSG_REMOVED));
    EXPECT_EQ(StatusOf(app), " Removed USB Keyboard Module");
    ExpectDeviceCommands(app, false);
}

}  // namespace
