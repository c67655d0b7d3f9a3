// The real usbkbd.exe, started as its own process: with no module on the
// system it shows its help text, stays responsive and ends with code 0.
#include <gtest/gtest.h>

#include <string>

#include "logic/command_ids.h"
#include "app/main_window.h"
#include "logic/messages.h"
#include "app_harness.h"

namespace {

class RealProgram {
public:
    RealProgram() {
        ParkPointer();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + std::wstring(USBKBD_EXE) + L"\"";
        started_ = CreateProcessW(USBKBD_EXE, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != 0;
        for (int waited = 0; started_ && window_ == nullptr && waited < 15000; waited += 20) {
            Sleep(20);
            HWND window = FindWindowW(MAIN_WINDOW_CLASS, nullptr);
            if (window != nullptr && IsWindowVisible(window)) window_ = window;
        }
    }
    ~RealProgram() {
        if (!started_) return;
        SaveDiagnosisIfFailed(window_);
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    HWND Window() const { return window_; }
    DWORD ExitCode(DWORD timeoutMs = 10000) {
        DWORD code = 12345;
        if (WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
    HWND window_ = nullptr;
};

TEST(RealProgram, FindsNoModuleAndShowsTheHelpText) {
    RealProgram program;
    ASSERT_NE(program.Window(), nullptr);
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(program.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result),
              0);
    EXPECT_EQ(ConsoleTextOf(program.Window()), std::string(Shown(MSG_HELP)));
    PostMessageW(program.Window(), WM_DEVICECHANGE, 7, 0);
    EXPECT_NE(SendMessageTimeoutW(program.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result),
              0);
    EXPECT_EQ(ConsoleTextOf(program.Window()), std::string(Shown(MSG_HELP)));
    PostMessageW(program.Window(), WM_COMMAND, IDM_FILE_EXIT, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(RealProgram, EndsWithCodeZeroWhenClosed) {
    RealProgram program;
    ASSERT_NE(program.Window(), nullptr);
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
