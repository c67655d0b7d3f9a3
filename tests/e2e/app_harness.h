// Runs the program's main window on a thread of the test process and lets
// the test drive it with window messages, as a person would with the mouse.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "logic/messages.h"

class AppUnderTest {
public:
    // Starts the program with a code page 949 command line and waits until
    // its window has been created and painted.
    explicit AppUnderTest(const std::string& commandLine = "");
    // Starts the program with a wide command line, as Windows hands it over.
    explicit AppUnderTest(const std::wstring& commandLine);
    ~AppUnderTest();
    AppUnderTest(const AppUnderTest&) = delete;
    AppUnderTest& operator=(const AppUnderTest&) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // Sends a command and returns when it has been carried out.
    void Command(int id);
    // Posts a command, for commands that open a modal dialog.
    void PostCommand(int id);
    // Returns once every message sent before has been handled. A posted
    // message may still wait: the window takes sent messages first.
    void Sync();
    // Closes the window (WM_CLOSE) and returns the program's exit code.
    int Close();
    // Waits for the program to end by itself and returns its exit code.
    int WaitForExit();

private:
    void Start(std::function<int()> run);

    std::thread thread_;
    HWND window_ = nullptr;
    int exitCode_ = -1;
    bool running_ = false;
    std::atomic<bool> ended_{false};
};

// The language the program's console speaks under the locale the test runs
// in, as ctest sets it in LC_ALL (else LANG): Korean under a Korean locale,
// English under any other.
Language LocaleLanguage();
// A console message as the program under test shows it: code page 949 bytes.
const char* Shown(Message message);

// The text of a window or control as code page 949 bytes.
std::string TextOf(HWND window);
// The status bar's only part as code page 949 bytes.
std::string StatusBarText(HWND statusBar);
// The main window's status bar.
HWND StatusBarOf(HWND window);
// The text of the window's console, asked of the console itself, so that it
// also works for a window of another process.
std::string ConsoleTextOf(HWND window);
// The first top-level dialog with this caption, waiting up to timeoutMs.
HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 5000);
// Waits until the window is gone; false after timeoutMs.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 5000);
// Moves the pointer to the screen's far corner, away from every window the
// tests open, so that no mouse message of the system (WM_SETCURSOR above
// all) reaches the program but those a test sends.
void ParkPointer();
// Waits until the window and its children have painted all that was
// invalidated and no paint is under way; false after timeoutMs.
bool WaitForPaint(HWND window, DWORD timeoutMs = 3000);
// The colour of one pixel of a window's client area, as drawn on screen.
COLORREF PixelAt(HWND window, int x, int y);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
// The height of the font a control was given.
int FontHeightOf(HWND control);
// The class name of a window.
std::string ClassOf(HWND window);
// Saves the window, frame included, as a 24-bit BMP when USBKBD_SHOTS_DIR
// names a folder; returns whether it was saved.
bool SaveScreenshot(HWND window, const char* name);
// When the running test has failed: saves the window and its console's text
// into the build's folder of failures and prints both paths, so that a
// failure can be understood from the test's log alone.
void SaveDiagnosisIfFailed(HWND window);
