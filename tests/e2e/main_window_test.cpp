// The main window as a person sees it when the program starts.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "logic/command_ids.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "logic/messages.h"
#include "app/window_state.h"
#include "app_harness.h"

namespace {

constexpr COLORREF FRAME_GREY = RGB(128, 128, 128);
constexpr COLORREF WHITE = RGB(255, 255, 255);

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    RECT rect;  // left, top, right, bottom in client coordinates
    int fontHeight;
};

std::vector<ExpectedControl> ExpectedControls() {
    std::vector<ExpectedControl> controls;
    for (int row = 0; row < 8; ++row) {
        int top = 85 + 25 * row;
        controls.push_back({105 + row, "Button", "Change", {286, top, 358, top + 22}, 12});
        controls.push_back({115 + row, "Button", "x", {361, top, 383, top + 22}, 12});
    }
    controls.push_back({131, "Button", "Shift Button OFF", {95, 288, 205, 306}, 12});
    controls.push_back({132, "Button", "Shift Button ON", {210, 288, 320, 306}, 12});
    controls.push_back({0, "Edit", Shown(MSG_HELP), {18, 323, 381, 416}, 13});
    return controls;
}

std::string MenuText(HMENU menu, UINT position) {
    wchar_t wide[64] = {};
    GetMenuStringW(menu, position, wide, 64, MF_BYPOSITION);
    char text[128];
    WideCharToMultiByte(949, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

TEST(MainWindow, HasItsClassTitleAndSize) {
    AppUnderTest app;
    ASSERT_NE(app.Window(), nullptr);
    EXPECT_EQ(ClassOf(app.Window()), "USBKEYBOARDMODULE CLASS");
    EXPECT_EQ(TextOf(app.Window()), "USB Keyboard Module - Ver 1.2");
    RECT rect;
    GetWindowRect(app.Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 407);
    EXPECT_EQ(rect.bottom - rect.top, 507);
    EXPECT_TRUE(IsWindowVisible(app.Window()));
}

TEST(MainWindow, ShowsEveryControlWhereItBelongs) {
    AppUnderTest app;
    std::vector<HWND> seen;
    for (const ExpectedControl& expected : ExpectedControls()) {
        SCOPED_TRACE(expected.id);
        HWND control = expected.id != 0 ? app.Control(expected.id)
                                        : FindWindowExW(app.Window(), nullptr, L"Edit", nullptr);
        ASSERT_NE(control, nullptr);
        seen.push_back(control);
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(ClassOf(control), expected.className);
        EXPECT_EQ(TextOf(control), expected.text);
        RECT rect = ChildRect(control);
        EXPECT_EQ(rect.left, expected.rect.left);
        EXPECT_EQ(rect.top, expected.rect.top);
        EXPECT_EQ(rect.right, expected.rect.right);
        EXPECT_EQ(rect.bottom, expected.rect.bottom);
        EXPECT_EQ(FontHeightOf(control), expected.fontHeight);
        EXPECT_TRUE(IsWindowVisible(control));
    }
    HWND statusBar = StatusBarOf(app.Window());
    ASSERT_NE(statusBar, nullptr);
    EXPECT_EQ(GetDlgCtrlID(statusBar), 0);
    EXPECT_EQ(StatusBarText(statusBar), "");
    int children = 0;
    for (HWND child = GetWindow(app.Window(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
    }
    EXPECT_EQ(children, static_cast<int>(seen.size()) + 1);
}

TEST(MainWindow, ConsoleIsReadOnlyMultiLineWithoutBorder) {
    AppUnderTest app;
    HWND console = FindWindowExW(app.Window(), nullptr, L"Edit", nullptr);
    LONG style = GetWindowLongW(console, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_FALSE(style & (WS_BORDER | WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(GetWindowLongW(console, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST(MainWindow, NormalLayerIsCheckedAndBothLayerButtonsShow) {
    AppUnderTest app;
    EXPECT_EQ(SendMessageW(app.Control(ID_NORMAL_LAYER), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(app.Control(ID_SHIFT_LAYER), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowVisible(app.Control(ID_NORMAL_LAYER)));
    EXPECT_TRUE(IsWindowVisible(app.Control(ID_SHIFT_LAYER)));
}

TEST(MainWindow, MenuOffersFileDataAndUsbWithDeviceCommandsGrayed) {
    AppUnderTest app;
    HMENU menu = GetMenu(app.Window());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(MenuText(menu, 0), "&File");
    EXPECT_EQ(MenuText(menu, 1), "Data");
    EXPECT_EQ(MenuText(menu, 2), "USB");

    struct Item {
        int menu;
        const char* text;
        int id;
        bool grayed;
    };
    const Item items[] = {
        {0, "&New", IDM_FILE_NEW, false},
        {0, "&Open", IDM_FILE_OPEN, false},
        {0, "&Save", IDM_FILE_SAVE, false},
        {0, "Save &As", IDM_FILE_SAVE_AS, false},
        {0, "", 0, false},
        {0, "&Exit", IDM_FILE_EXIT, false},
        {1, "&Write(PC->USB)", IDM_DATA_WRITE, true},
        {1, "&Read(USB->PC)", IDM_DATA_READ, true},
        {2, "&Reset", IDM_USB_RESET, true},
    };
    int position[3] = {0, 0, 0};
    for (const Item& item : items) {
        SCOPED_TRACE(item.text);
        HMENU popup = GetSubMenu(menu, item.menu);
        UINT at = static_cast<UINT>(position[item.menu]++);
        UINT state = GetMenuState(popup, at, MF_BYPOSITION);
        if (item.id == 0) {
            EXPECT_TRUE(state & MF_SEPARATOR);
            continue;
        }
        EXPECT_EQ(MenuText(popup, at), item.text);
        EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, static_cast<int>(at))), item.id);
        EXPECT_EQ((state & MF_GRAYED) != 0, item.grayed);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, i)), position[i]);
    }
}

TEST(MainWindow, ConsoleFrameIsOneGreyPixelTwoPixelsOutsideTheConsole) {
    AppUnderTest app;
    HWND window = app.Window();
    for (int x = 16; x <= 382; x += 61) {
        EXPECT_EQ(PixelAt(window, x, 321), FRAME_GREY) << x;
        EXPECT_EQ(PixelAt(window, x, 417), FRAME_GREY) << x;
        EXPECT_EQ(PixelAt(window, x, 320), WHITE) << x;
        EXPECT_EQ(PixelAt(window, x, 418), WHITE) << x;
    }
    EXPECT_EQ(PixelAt(window, 382, 417), FRAME_GREY);
    for (int y = 322; y < 417; y += 15) {
        EXPECT_EQ(PixelAt(window, 16, y), FRAME_GREY) << y;
        EXPECT_EQ(PixelAt(window, 382, y), FRAME_GREY) << y;
        EXPECT_EQ(PixelAt(window, 15, y), WHITE) << y;
        EXPECT_EQ(PixelAt(window, 17, y), WHITE) << y;
        EXPECT_EQ(PixelAt(window, 383, y), WHITE) << y;
    }
}

TEST(MainWindow, BannerIsDrawnAtTenFive) {
    AppUnderTest app;
    HBITMAP banner =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BANNER),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(banner, nullptr);
    BITMAP info;
    GetObjectW(banner, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 377);
    EXPECT_EQ(info.bmHeight, 42);
    EXPECT_EQ(info.bmBitsPixel, 24);

    HDC screen = GetDC(app.Window());
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, banner);
    int differing = 0;
    int coloured = 0;
    for (int y = 0; y < 40; y += 2) {
        for (int x = 0; x < 377; x += 3) {
            COLORREF expected = GetPixel(memory, x, y);
            if (expected != WHITE) ++coloured;
            if (GetPixel(screen, 10 + x, 5 + y) != expected) ++differing;
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(app.Window(), screen);
    DeleteObject(banner);
    EXPECT_GT(coloured, 100);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(PixelAt(app.Window(), 9, 20), WHITE);
}

TEST(MainWindow, ShowsTheHelpTextUntilAModuleIsFound) {
    AppUnderTest app;
    HWND console = FindWindowExW(app.Window(), nullptr, L"Edit", nullptr);
    EXPECT_EQ(TextOf(console), std::string(Shown(MSG_HELP)));
    EXPECT_EQ(StatusBarText(StatusBarOf(app.Window())), "");
    SaveScreenshot(app.Window(), "main-window");
}

TEST(MainWindow, ExitEndsTheProgramWithCodeZero) {
    AppUnderTest app;
    app.PostCommand(IDM_FILE_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0);
    EXPECT_FALSE(IsWindow(app.Window()) && IsWindowVisible(app.Window()));
}

TEST(MainWindow, ClosingTheWindowEndsTheProgramWithCodeZero) {
    AppUnderTest app;
    EXPECT_EQ(app.Close(), 0);
    EXPECT_FALSE(IsWindow(app.Window()));
}

TEST(MainWindow, UnknownCommandsAreIgnored) {
    AppUnderTest app;
    for (int id : {0, 1, 104, 113, 123, 130, 133, 40001, 40004, 40011, 0xFFFF}) {
        EXPECT_EQ(SendMessageW(app.Window(), WM_COMMAND, id, 0), 0) << id;
    }
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    HWND console = FindWindowExW(app.Window(), nullptr, L"Edit", nullptr);
    EXPECT_EQ(TextOf(console), std::string(Shown(MSG_HELP)));
}

// The command line: what is kept as the current path.
struct CommandLineCase {
    const char* name;
    const char* commandLine;
    const char* kept;
};

void PrintTo(const CommandLineCase& rule, std::ostream* out) {
    *out << rule.name;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, KeepsOnlyAKbdPath) {
    AppUnderTest app(GetParam().commandLine);
    ASSERT_NE(app.Window(), nullptr);
    EXPECT_STREQ(g_currentPath, GetParam().kept);
    EXPECT_EQ(app.Close(), 0);
}

const std::string TOO_LONG = "C:\\" + std::string(300, 'd') + "\\panel.kbd";

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLine,
    ::testing::Values(CommandLineCase{"Empty", "", ""},
                      CommandLineCase{"Quoted", "\"C:\\data\\panel.kbd\"", "C:\\data\\panel.kbd"},
                      CommandLineCase{"Plain", "C:\\data\\panel.kbd", "C:\\data\\panel.kbd"},
                      CommandLineCase{"Txt", "C:\\data\\panel.txt", ""},
                      CommandLineCase{"UpperCase", "C:\\data\\PANEL.KBD", ""},
                      CommandLineCase{"KbdBak", "C:\\data\\old.kbd.bak", "C:\\data\\old.kbd.bak"},
                      CommandLineCase{"TrailingQuoteOnly", "C:\\a.kbd\"", ":\\a.kbd"},
                      CommandLineCase{"TooLong", TOO_LONG.c_str(), ""}));

}  // namespace
