// The real usbkbd-demo.exe, started as its own process with a bus file of
// the test's making: it connects to the file's module, follows edits of
// the file as a device coming or going, writes the module's new words and
// mode back without announcing them, and reports faulty lines.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "logic/command_ids.h"
#include "app/main_window.h"
#include "logic/messages.h"
#include "app/wide_text.h"
#include "app_harness.h"
#include "program_process.h"
#include "emu/sim_bus_file.h"
#include "files/file_io.h"

namespace {

// Several of the demo's looks at its file: long enough for a notice to arrive if one were sent.
constexpr DWORD QUIET_MS = 1200;

const char QX209_BLOCK[] =
    "# the test's bus\n"
    "device 10F7:0209   # the module\n"
    "mode change\n"
    "firmware 12\n"
    "keys 0004 0005 0006 0007 0008 0009 000A 000B 000C 000D 000E 000F 0010 0011 0012 0013\n";

// The demo the tests start: the build's, or the one that USBKBD_E2E_DEMO_EXE
// names, as the release's own test names the demo it unpacked.
const std::wstring& DemoExe() {
    static const std::wstring exe = [] {
        wchar_t path[MAX_PATH];
        DWORD length = GetEnvironmentVariableW(L"USBKBD_E2E_DEMO_EXE", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return std::wstring(USBKBD_DEMO_EXE);
        std::printf("the demo under test: %s\n", Narrow(path).c_str());
        return std::wstring(path);
    }();
    return exe;
}

// The demo started in a folder, with USBKBD_SIM set to busFile (or unset when
// empty).
class Demo : public ProgramProcess {
public:
    Demo(const Folder& folder, const std::wstring& busFile, const std::wstring& arguments = L"")
        : ProgramProcess(DemoExe(), folder, {{L"USBKBD_SIM", busFile}}, arguments) {}
};

std::string Connected(const char* format, const char* model) {
    std::string text = format;
    text.replace(text.find("%x"), 2, model);
    return text;
}

TEST(DemoProgram, MakesItsBusFileInTheCurrentFolderWithOneQx209AndConnects) {
    Folder folder;
    Demo demo(folder, L"");
    ASSERT_NE(demo.Window(), nullptr);
    EXPECT_EQ(demo.Console(), Connected(Shown(MSG_CONNECTED_AT_START), "209"));
    EXPECT_EQ(demo.Status(), " Connected USB Keyboard Module - QX209");
    SimBusText bus = ParseSimBus(folder.Read(L"usbkbd-sim.txt"));
    EXPECT_TRUE(bus.problems.empty());
    ASSERT_EQ(bus.devices.size(), 1u);
    EXPECT_EQ(bus.devices[0].vendorId, 0x10F7);
    EXPECT_EQ(bus.devices[0].productId, 0x209);
    EXPECT_TRUE(bus.devices[0].changeMode);
    std::string output;
    EXPECT_EQ(demo.Close(&output), 0u);
    EXPECT_EQ(output, "");
}

TEST(DemoProgram, FollowsEditsOfItsBusFileAsDevicesComingAndGoing) {
    Folder folder;
    folder.Write(L"bus.txt", QX209_BLOCK);
    Demo demo(folder, folder.File(L"bus.txt"));
    ASSERT_NE(demo.Window(), nullptr);
    EXPECT_EQ(demo.Console(), Connected(Shown(MSG_CONNECTED_AT_START), "209"));

    folder.Write(L"bus.txt", "# nothing plugged in\n");
    EXPECT_TRUE(demo.ConsoleBecomes(Shown(MSG_REMOVED))) << demo.Console();
    EXPECT_EQ(demo.Status(), " Removed USB Keyboard Module");

    folder.Write(L"bus.txt", "device 046D:C077\ndevice 10F7:0206\n");
    EXPECT_TRUE(demo.ConsoleBecomes(Connected(Shown(MSG_CONNECTED), "206"))) << demo.Console();
    EXPECT_EQ(demo.Status(), " Connected USB Keyboard Module - QX206");
}

TEST(DemoProgram, WritesTheModulesWordsAndModeBackWithoutANotice) {
    Folder folder;
    folder.Write(L"bus.txt", QX209_BLOCK);
    folder.Write(L"table.kbd",
                 "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
                 "0000 0000 0000 0000 0000 0000 0000 0028\r\n");
    Demo demo(folder, folder.File(L"bus.txt"), L"table.kbd");
    ASSERT_NE(demo.Window(), nullptr);

    demo.Command(IDM_DATA_WRITE);
    std::string written = std::string(
                              " > Scan Code : \r\n"
                              "    0106  0004  0000  0000  0000  0000  0000  0000 \r\n"
                              "    0000  0000  0000  0000  0000  0000  0000  0028\r\n") +
                          Shown(MSG_WRITE_DONE);
    EXPECT_EQ(demo.Console(), written);
    Sleep(QUIET_MS);
    EXPECT_EQ(demo.Console(), written);
    EXPECT_EQ(folder.Read(L"bus.txt"),
              "# the test's bus\n"
              "device 10F7:0209   # the module\n"
              "mode change\n"
              "firmware 12\n"
              "keys 0106 0004 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 "
              "0028\n");

    demo.Command(IDM_USB_RESET);
    EXPECT_EQ(demo.Console(), Shown(MSG_RESET_DONE));
    Sleep(QUIET_MS);
    EXPECT_EQ(demo.Console(), Shown(MSG_RESET_DONE));
    std::string bus = folder.Read(L"bus.txt");
    EXPECT_NE(bus.find("\nmode keyboard\n"), std::string::npos) << bus;

    // Back into change mode, by hand: that is a device arriving.
    bus.replace(bus.find("mode keyboard"), 13, "mode change");
    folder.Write(L"bus.txt", bus);
    EXPECT_TRUE(demo.ConsoleBecomes(Connected(Shown(MSG_CONNECTED), "209"))) << demo.Console();
}

// Comment lines after the module's block, this many bytes of them.
std::string CommentLines(size_t bytes) {
    std::string lines;
    for (int n = 0; lines.size() < bytes; ++n) {
        lines += "# note " + std::to_string(n) + ": kept as it is by every write-back\n";
    }
    return lines;
}

TEST(DemoProgram, WriteBackKeepsEveryLineOfALargeBusFile) {
    Folder folder;
    std::string notes = CommentLines(1024 * 1024);
    folder.Write(L"bus.txt", QX209_BLOCK + notes);
    Demo demo(folder, folder.File(L"bus.txt"));
    ASSERT_NE(demo.Window(), nullptr);
    demo.Command(IDM_DATA_WRITE);
    EXPECT_EQ(folder.Read(L"bus.txt"),
              "# the test's bus\n"
              "device 10F7:0209   # the module\n"
              "mode change\n"
              "firmware 12\n"
              "keys 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 "
              "0000\n" +
                  notes);
}

// Past what the demo reads whole, it would cut the file: it leaves the file
// alone and says so once.
TEST(DemoProgram, BusFileTooLongToReadWholeIsNeverWrittenBack) {
    Folder folder;
    std::string bus = QX209_BLOCK + CommentLines(16 * 1024 * 1024 + 1);
    folder.Write(L"bus.txt", bus);
    Demo demo(folder, folder.File(L"bus.txt"));
    ASSERT_NE(demo.Window(), nullptr);
    demo.Command(IDM_DATA_WRITE);
    demo.Command(IDM_DATA_WRITE);
    EXPECT_EQ(folder.Read(L"bus.txt"), bus);
    std::string output;
    EXPECT_EQ(demo.Close(&output), 0u);
    EXPECT_EQ(output, Narrow(folder.File(L"bus.txt")) +
                          ": longer than 16777216 bytes; the module's changes are not written to "
                          "it\r\n");
}

TEST(DemoProgram, ReportsFaultyLinesAndLeavesThatDeviceOut) {
    Folder folder;
    folder.Write(L"bus.txt", "device 10F7:0206\nfirmware 1x2\ndevice 10F7:0209\n");
    Demo demo(folder, folder.File(L"bus.txt"));
    ASSERT_NE(demo.Window(), nullptr);
    EXPECT_EQ(demo.Console(), Connected(Shown(MSG_CONNECTED_AT_START), "209"));
    std::string output;
    EXPECT_EQ(demo.Close(&output), 0u);
    EXPECT_EQ(output, Narrow(folder.File(L"bus.txt")) +
                          ": line 2: expected \"firmware <hex byte>\"; the device of line 1 is "
                          "left out\r\n");
}

}  // namespace
