#include "app_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/wide_text.h"

namespace {

constexpr DWORD START_TIMEOUT_MS = 30000;
constexpr DWORD POLL_MS = 10;
// How long a question to a window of another process may take; the diagnosis
// of a failure must not hang on a program that is still busy.
constexpr DWORD ASK_TIMEOUT_MS = 5000;

// The window has painted everything that was invalidated, its children
// included, and is not in the middle of a paint: a paint validates the
// window before it draws, so the thread must be back in its message loop.
bool IsPainted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) return false;
    }
    return true;
}

HWND MainWindow() {
    HWND window = FindWindowW(MAIN_WINDOW_CLASS, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// The program's main window once it shows, or none if the program ends
// first or takes longer than the start may.
HWND WaitForMainWindow(const std::atomic<bool>& ended) {
    for (DWORD waited = 0; waited < START_TIMEOUT_MS && !ended; waited += POLL_MS) {
        if (HWND window = MainWindow()) return window;
        Sleep(POLL_MS);
    }
    return MainWindow();
}

}  // namespace

void ParkPointer() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

AppUnderTest::AppUnderTest(const std::string& commandLine) {
    Start([commandLine] {
        return RunProgram(GetModuleHandleW(nullptr), commandLine.c_str(), SW_SHOWNORMAL);
    });
}

AppUnderTest::AppUnderTest(const std::wstring& commandLine) {
    Start([commandLine] {
        return RunProgramWide(GetModuleHandleW(nullptr), commandLine.c_str(), SW_SHOWNORMAL);
    });
}

void AppUnderTest::Start(std::function<int()> run) {
    ParkPointer();
    running_ = true;
    thread_ = std::thread([this, run] {
        exitCode_ = run();
        ended_ = true;
    });
    window_ = WaitForMainWindow(ended_);
    if (window_ != nullptr) {
        WaitForPaint(window_);
    } else if (ended_) {
        ADD_FAILURE() << "the program ended with " << exitCode_ << " before it showed its window";
    } else {
        ADD_FAILURE() << "the program showed no window in " << START_TIMEOUT_MS << " ms";
    }
}

AppUnderTest::~AppUnderTest() {
    SaveDiagnosisIfFailed(window_);
    if (running_) Close();
}

void AppUnderTest::Command(int id) {
    SendMessageW(window_, WM_COMMAND, id, 0);
}

void AppUnderTest::PostCommand(int id) {
    PostMessageW(window_, WM_COMMAND, id, 0);
}

void AppUnderTest::Sync() {
    SendMessageW(window_, WM_NULL, 0, 0);
}

int AppUnderTest::Close() {
    // A window that came up only after the test stopped waiting for it is
    // closed all the same, or the program would never end.
    while (running_ && !ended_ && !IsWindow(window_)) {
        Sleep(POLL_MS);
        window_ = MainWindow();
    }
    if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    return WaitForExit();
}

int AppUnderTest::WaitForExit() {
    if (running_) {
        thread_.join();
        running_ = false;
    }
    return exitCode_;
}

Language LocaleLanguage() {
    const char* locale = std::getenv("LC_ALL");
    if (locale == nullptr || *locale == '\0') locale = std::getenv("LANG");
    bool korean = locale != nullptr && std::strncmp(locale, "ko", 2) == 0;
    return korean ? Language::Korean : Language::English;
}

const char* Shown(Message message) {
    return MessageText(message, LocaleLanguage());
}

std::string TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
    GetWindowTextW(window, wide.data(), length + 1);
    std::vector<char> text(wide.size() * 2 + 1);
    Cp949FromWide(wide.data(), text.data(), text.size());
    return text.data();
}

std::string StatusBarText(HWND statusBar) {
    LRESULT length = SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0) & 0xFFFF;
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
    SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(wide.data()));
    std::vector<char> text(wide.size() * 2 + 1);
    Cp949FromWide(wide.data(), text.data(), text.size());
    return text.data();
}

HWND StatusBarOf(HWND window) {
    return FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
}

HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += POLL_MS) {
        HWND dialog = FindWindowW(L"#32770", caption);
        if (dialog != nullptr && IsWindowVisible(dialog)) return dialog;
        Sleep(POLL_MS);
    }
    return nullptr;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += POLL_MS) {
        if (!IsWindow(window)) return true;
        Sleep(POLL_MS);
    }
    return !IsWindow(window);
}

bool WaitForPaint(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += POLL_MS) {
        if (IsPainted(window)) {
            SendMessageW(window, WM_NULL, 0, 0);
            if (IsPainted(window)) return true;
        }
        Sleep(POLL_MS);
    }
    return false;
}

COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int FontHeightOf(HWND control) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logFont = {};
    if (font == nullptr || GetObjectW(font, sizeof logFont, &logFont) == 0) return 0;
    return logFont.lfHeight;
}

std::string ClassOf(HWND window) {
    wchar_t name[64];
    GetClassNameW(window, name, 64);
    char text[128];
    Cp949FromWide(name, text, sizeof text);
    return text;
}

namespace {

// Saves the window, frame included, as a 24-bit BMP at this path.
bool SaveBitmapOf(HWND window, const char* path) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int stride = (width * 3 + 3) & ~3;

    HDC windowDc = GetWindowDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();

    FILE* file = std::fopen(path, "wb");
    bool saved = false;
    if (file != nullptr && bits != nullptr) {
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof header + sizeof info.bmiHeader;
        header.bfSize = header.bfOffBits + static_cast<DWORD>(stride * height);
        saved = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                std::fwrite(bits, static_cast<size_t>(stride) * height, 1, file) == 1;
    }
    if (file != nullptr) std::fclose(file);
    SelectObject(memoryDc, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return saved;
}

// "Suite.Name" of the running test with the code page it runs under, as a
// file name: "Suite.Name-949".
std::string RunningTestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return name + "-" + std::to_string(GetACP());
}

BOOL CALLBACK PrintVisibleWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    char text[256];
    Cp949FromWide(caption, text, sizeof text);
    std::printf("  %s \"%s\" at (%ld,%ld)-(%ld,%ld)\n", ClassOf(window).c_str(), text, rect.left,
                rect.top, rect.right, rect.bottom);
    return TRUE;
}

}  // namespace

bool SaveScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("USBKBD_SHOTS_DIR");
    if (folder == nullptr || *folder == '\0') return false;
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%s.bmp", folder, name);
    return SaveBitmapOf(window, path);
}

std::string ConsoleTextOf(HWND window) {
    HWND console = FindWindowExW(window, nullptr, L"Edit", nullptr);
    std::vector<wchar_t> wide(4096);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(console, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()),
                        SMTO_NORMAL, ASK_TIMEOUT_MS, &copied);
    std::vector<char> text(wide.size() * 2 + 1);
    Cp949FromWide(wide.data(), text.data(), text.size());
    return text.data();
}

void SaveDiagnosisIfFailed(HWND window) {
    if (!::testing::Test::HasFailure() || !IsWindow(window)) return;
    CreateDirectoryA(USBKBD_FAILURES_DIR, nullptr);
    std::string base = std::string(USBKBD_FAILURES_DIR) + "\\" + RunningTestName();
    std::string shot = base + ".bmp";
    std::string console = base + "-console.txt";
    if (SaveBitmapOf(window, shot.c_str())) std::printf("Window at failure: %s\n", shot.c_str());
    FILE* file = std::fopen(console.c_str(), "wb");
    if (file == nullptr) return;
    std::string text = ConsoleTextOf(window);
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    std::fclose(file);
    if (written) std::printf("Console at failure (code page 949): %s\n", console.c_str());
    std::printf("Visible top-level windows, front to back:\n");
    EnumWindows(PrintVisibleWindow, 0);
}
