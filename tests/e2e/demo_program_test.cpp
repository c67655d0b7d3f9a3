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
#include "emu/sim_bus_file.h"
#include "files/file_io.h"

namespace {

constexpr DWORD START_TIMEOUT_MS = 30000;
// A command over a large bus file on a loaded machine takes many seconds.
constexpr DWORD COMMAND_TIMEOUT_MS = 90000;
constexpr DWORD FOLLOW_TIMEOUT_MS = 15000;
// Several of the demo's looks at its file: long enough for a notice to arrive if one were sent.
constexpr DWORD QUIET_MS = 1200;

const char QX209_BLOCK[] =
    "# the test's bus\n"
    "device 10F7:0209   # the module\n"
    "mode change\n"
    "firmware 12\n"
    "keys 0004 0005 0006 0007 0008 0009 000A 000B 000C 000D 000E 000F 0010 0011 0012 0013\n";

std::string Narrow(const std::wstring& wide) {
    char text[MAX_PATH * 2];
    Cp949FromWide(wide.c_str(), text, sizeof text);
    return text;
}

// A folder of the test's own under the temporary folder, emptied at the end.
class Folder {
public:
    Folder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"usbkbd-demo-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Folder() {
        for (const wchar_t* name : {L"usbkbd-sim.txt", L"bus.txt", L"table.kbd"}) {
            DeleteFileW(File(name).c_str());
        }
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

    // Replaces the file's contents in one step, as a careful editor saves:
    // through a new file that takes the old one's place once the demo, which
    // reads it now and then, does not hold it open.
    void Write(const wchar_t* name, const std::string& text) const {
        ASSERT_TRUE(ReplaceFileContents(Narrow(File(name)).c_str(), text.data(), text.size()));
    }

    std::string Read(const wchar_t* name) const {
        std::string text;
        FILE* file = _wfopen(File(name).c_str(), L"rb");
        if (file == nullptr) return text;
        char chunk[512];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            text.append(chunk, got);
        std::fclose(file);
        return text;
    }

private:
    std::wstring path_;
};

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
// empty), its standard output and error going into a pipe.
class Demo {
public:
    Demo(const Folder& folder, const std::wstring& busFile, const std::wstring& arguments = L"") {
        SetEnvironmentVariableW(L"USBKBD_SIM", busFile.empty() ? nullptr : busFile.c_str());
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        CreatePipe(&errorRead_, &errorWrite_, &inherit, 1 << 16);
        SetHandleInformation(errorRead_, HANDLE_FLAG_INHERIT, 0);
        ParkPointer();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = errorWrite_;
        startup.hStdError = errorWrite_;
        std::wstring commandLine = L"\"" + DemoExe() + L"\" " + arguments;
        started_ = CreateProcessW(DemoExe().c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                                  nullptr, folder.Path().c_str(), &startup, &process_) != 0;
        CloseHandle(errorWrite_);
        for (DWORD waited = 0; started_ && window_ == nullptr && waited < START_TIMEOUT_MS;
             waited += 20) {
            Sleep(20);
            window_ = OwnWindow();
        }
    }
    ~Demo() {
        SaveDiagnosisIfFailed(window_);
        if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
        }
        if (started_) {
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CloseHandle(errorRead_);
    }

    HWND Window() const { return window_; }

    std::string Console() const {
        return TextOfControl(FindWindowExW(window_, nullptr, L"Edit", nullptr));
    }
    std::string Status() const {
        return TextOfControl(FindWindowExW(window_, nullptr, L"msctls_statusbar32", nullptr));
    }

    // Carries out a menu command and returns when the demo has done it.
    void Command(int id) const {
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(window_, WM_COMMAND, id, 0, SMTO_NORMAL, COMMAND_TIMEOUT_MS,
                                      &result),
                  0)
            << "the demo had not done command " << id << " after " << COMMAND_TIMEOUT_MS << " ms";
    }

    // Waits until the console shows the text; false when it does not within the time.
    bool ConsoleBecomes(const std::string& text, DWORD timeoutMs = FOLLOW_TIMEOUT_MS) const {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            if (Console() == text) return true;
            Sleep(50);
        }
        return Console() == text;
    }

    // Closes the window; the exit code, and everything written to standard output and error.
    // Waits for the program to end, however long a loaded machine takes to
    // finish reading a large bus file; a program that never ends meets the
    // test's own time-out.
    DWORD Close(std::string* output) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        DWORD code = 12345;
        if (WaitForSingleObject(process_.hProcess, INFINITE) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.hProcess, &code);
        }
        char chunk[512];
        DWORD got = 0;
        while (ReadFile(errorRead_, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            output->append(chunk, got);
        }
        return code;
    }

private:
    HWND OwnWindow() const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, MAIN_WINDOW_CLASS, nullptr)) != nullptr) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId == process_.dwProcessId && IsWindowVisible(window)) return window;
        }
        return nullptr;
    }

    static std::string TextOfControl(HWND control) {
        wchar_t wide[2048] = {};
        DWORD_PTR result = 0;
        SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL,
                            5000, &result);
        char text[4096];
        Cp949FromWide(wide, text, sizeof text);
        return text;
    }

    PROCESS_INFORMATION process_ = {};
    HANDLE errorRead_ = nullptr;
    HANDLE errorWrite_ = nullptr;
    bool started_ = false;
    HWND window_ = nullptr;
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
    EXPECT_EQ(demo.Console(), Connected(MSG_CONNECTED_AT_START, "209"));
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
    EXPECT_EQ(demo.Console(), Connected(MSG_CONNECTED_AT_START, "209"));

    folder.Write(L"bus.txt", "# nothing plugged in\n");
    EXPECT_TRUE(demo.ConsoleBecomes(MSG_REMOVED)) << demo.Console();
    EXPECT_EQ(demo.Status(), " Removed USB Keyboard Module");

    folder.Write(L"bus.txt", "device 046D:C077\ndevice 10F7:0206\n");
    EXPECT_TRUE(demo.ConsoleBecomes(Connected(MSG_CONNECTED, "206"))) << demo.Console();
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
                          MSG_WRITE_DONE;
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
    EXPECT_EQ(demo.Console(), MSG_RESET_DONE);
    Sleep(QUIET_MS);
    EXPECT_EQ(demo.Console(), MSG_RESET_DONE);
    std::string bus = folder.Read(L"bus.txt");
    EXPECT_NE(bus.find("\nmode keyboard\n"), std::string::npos) << bus;

    // Back into change mode, by hand: that is a device arriving.
    bus.replace(bus.find("mode keyboard"), 13, "mode change");
    folder.Write(L"bus.txt", bus);
    EXPECT_TRUE(demo.ConsoleBecomes(Connected(MSG_CONNECTED, "209"))) << demo.Console();
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
    EXPECT_EQ(demo.Console(), Connected(MSG_CONNECTED_AT_START, "209"));
    std::string output;
    EXPECT_EQ(demo.Close(&output), 0u);
    EXPECT_EQ(output, Narrow(folder.File(L"bus.txt")) +
                          ": line 2: expected \"firmware <hex byte>\"; the device of line 1 is "
                          "left out\r\n");
}

}  // namespace
