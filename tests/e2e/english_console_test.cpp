// The console in English, as a system whose language is not Korean shows it:
// each message after what brings it about, and the help text whole inside
// the console's box. These run under an English locale only.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "emu/sim_bus.h"
#include "logic/messages.h"
#include "device_view.h"

namespace {

const char* English(Message message) {
    return MessageText(message, Language::English);
}

// What the case does once the window is open: nothing, a device-change
// notice, or a command.
constexpr int NOTHING = 0;
constexpr int NOTICE = -1;

struct EnglishCase {
    const char* name;
    // Whether a QX209 in change mode is on the bus when the window opens.
    bool moduleAtStart;
    // What happens to the bus then, if anything.
    void (*busChange)();
    int action;
    std::string shown;
    const char* shot;
};

void PrintTo(const EnglishCase& englishCase, std::ostream* out) {
    *out << englishCase.name;
}

void Plug() {
    SimAddDevice(SimModule(MODEL_QX209));
}

void Unplug() {
    SimUnplug(0);
}

void Version1A() {
    SimDevices()[0].version = 0x1A;
}

void Version0() {
    SimDevices()[0].version = 0;
}

const std::string DUMP = EMPTY_TABLE_DUMP;

const EnglishCase CASES[] = {
    {"HelpAtStart", false, nullptr, NOTHING, English(MSG_HELP), "main-window-en"},
    {"ConnectedAtStart", true, nullptr, NOTHING,
     Filled(English(MSG_CONNECTED_AT_START), "%x", "209"), "connected-qx209-en"},
    {"ConnectedOnArrival", false, Plug, NOTICE, Filled(English(MSG_CONNECTED), "%x", "209"),
     "arrival-en"},
    {"Removed", true, Unplug, NOTICE, English(MSG_REMOVED), "removed-en"},
    {"Written", true, nullptr, IDM_DATA_WRITE, DUMP + English(MSG_WRITE_DONE), "after-write-en"},
    {"WriteError", true, Unplug, IDM_DATA_WRITE, DUMP + English(MSG_WRITE_ERROR), "write-error-en"},
    {"FirmwareVersionAndRead", true, Version1A, IDM_DATA_READ,
     Filled(English(MSG_FIRMWARE_VERSION), "%d.%d", "1.10") + English(MSG_READ_DONE),
     "after-read-en"},
    {"ReceiveError", true, Version0, IDM_DATA_READ, English(MSG_RECEIVE_ERROR), "receive-error-en"},
    {"Reset", true, nullptr, IDM_USB_RESET, English(MSG_RESET_DONE), "after-reset-en"},
    {"ResetError", true, Unplug, IDM_USB_RESET, English(MSG_RESET_ERROR), "reset-error-en"},
};

class EnglishConsole : public ::testing::TestWithParam<EnglishCase> {};

TEST_P(EnglishConsole, ShowsTheMessageInEnglish) {
    SimReset();
    if (GetParam().moduleAtStart) SimAddDevice(SimModule(MODEL_QX209));
    AppUnderTest app;
    if (GetParam().busChange != nullptr) GetParam().busChange();
    if (GetParam().action == NOTICE) NoticeDeviceChange(app);
    if (GetParam().action > 0) app.Command(GetParam().action);
    EXPECT_EQ(ConsoleOf(app), GetParam().shown);
    SaveScreenshot(app.Window(), GetParam().shot);
}

INSTANTIATE_TEST_SUITE_P(Messages, EnglishConsole, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<EnglishCase>& info) {
                             return std::string(info.param.name);
                         });

// The last line of the help text, where the edit control put it: on the
// seventh line (nothing above it wrapped), drawn whole, and inside the box.
TEST(EnglishConsoleBox, HoldsTheHelpTextsLastLineWhole) {
    SimReset();
    AppUnderTest app;
    HWND console = FindWindowExW(app.Window(), nullptr, L"Edit", nullptr);
    std::string help = English(MSG_HELP);
    size_t end = help.rfind("\r\n");
    size_t start = help.rfind("\r\n", end - 1) + 2;
    std::string last = help.substr(start, end - start);
    EXPECT_EQ(SendMessageW(console, EM_LINEFROMCHAR, start, 0), 6);
    LRESULT position = SendMessageW(console, EM_POSFROMCHAR, start, 0);
    int x = static_cast<short>(LOWORD(position));
    int y = static_cast<short>(HIWORD(position));
    RECT box;
    GetClientRect(console, &box);
    TEXTMETRICW metrics;
    HDC dc = GetDC(console);
    HGDIOBJ old = SelectObject(dc, g_font13);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(console, dc);
    EXPECT_GE(x, 0);
    EXPECT_LE(x + TextWidth(console, last.c_str(), g_font13), box.right);
    EXPECT_LE(y + metrics.tmHeight, box.bottom);
    COLORREF background = PixelAt(console, box.right - 1, box.bottom - 1);
    EXPECT_EQ(PixelsDifferingFromText(console, x, y, last.c_str(), g_font13, background), 0);
}

}  // namespace
