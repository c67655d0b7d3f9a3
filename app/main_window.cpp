#include "app/main_window.h"

#include <windows.h>

#include <commctrl.h>
#include <dbt.h>

#include "app/file_drop.h"
#include "app/panel.h"
#include "app/resource_ids.h"
#include "app/wide_text.h"
#include "app/window_state.h"
#include "app/window_view.h"
#include "logic/command_ids.h"
#include "logic/commands.h"
#include "logic/console_text.h"
#include "logic/messages.h"
#include "logic/module_search.h"
#include "logic/program.h"

namespace {

constexpr int WINDOW_WIDTH = 407;
constexpr int WINDOW_HEIGHT = 507;
constexpr COLORREF FRAME_COLOUR = RGB(128, 128, 128);

HFONT MakeFont(int height) {
    return CreateFontW(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, HANGUL_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, WideFromCp949(FONT_FACE).c_str());
}

HWND MakeControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                 int width, int height, int id, HFONT font) {
    HWND control =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                        g_mainWindow, reinterpret_cast<HMENU>(INT_PTR{id}), g_instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    return control;
}

void MakeControls() {
    g_statusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", g_mainWindow, 0);
    for (int row = 0; row < SLOT_COUNT; ++row) {
        int top = 85 + 25 * row;
        MakeControl(L"BUTTON", L"Change", WS_TABSTOP, 286, top, 72, 22, ID_CHANGE_FIRST + row,
                    g_font12);
        MakeControl(L"BUTTON", L"x", WS_TABSTOP, 361, top, 22, 22, ID_CLEAR_FIRST + row, g_font12);
    }
    g_normalLayerButton = MakeControl(L"BUTTON", L"Shift Button OFF", BS_AUTORADIOBUTTON, 95, 288,
                                      110, 18, ID_NORMAL_LAYER, g_font12);
    g_shiftLayerButton = MakeControl(L"BUTTON", L"Shift Button ON", BS_AUTORADIOBUTTON, 210, 288,
                                     110, 18, ID_SHIFT_LAYER, g_font12);
    g_console = MakeControl(L"EDIT", WideFromCp949(g_consoleText).c_str(),
                            ES_READONLY | ES_MULTILINE, 18, 323, 363, 93, 0, g_font13);
}

void OnCreate(HWND window) {
    g_mainWindow = window;
    PrepareConsoleText();
    g_font12 = MakeFont(12);
    g_font13 = MakeFont(13);
    MakeControls();
    DragAcceptFiles(window, TRUE);
    OnWindowCreated(MainWindowView());
}

void PaintBanner(HDC dc, HDC memoryDc) {
    HBITMAP banner = LoadBitmapW(g_instance, MAKEINTRESOURCEW(IDB_BANNER));
    HGDIOBJ oldBitmap = SelectObject(memoryDc, banner);
    BitBlt(dc, 10, 5, 400, 40, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(banner);
}

void PaintConsoleFrame(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, g_font13);
    HPEN pen = CreatePen(PS_SOLID, 1, FRAME_COLOUR);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const POINT outline[] = {{16, 321}, {382, 321}, {382, 417}, {16, 417}, {16, 321}};
    Polyline(dc, outline, 5);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SelectObject(dc, oldFont);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memoryDc = CreateCompatibleDC(dc);
    if (memoryDc != nullptr) {
        PaintBanner(dc, memoryDc);
        PaintSlotRows(dc);
        PaintConsoleFrame(dc);
        PaintRowLabels(dc);
        DeleteDC(memoryDc);
    }
    EndPaint(window, &paint);
}

void OnSize(WPARAM wParam, LPARAM lParam) {
    SendMessageW(g_statusBar, WM_SIZE, wParam, lParam);
    MainWindowView().SetStatusText(g_statusText);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            OnSize(wParam, lParam);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_COMMAND:
            OnCommand(MainWindowView(), LOWORD(wParam));
            return 0;
        case WM_DROPFILES:
            OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVNODES_CHANGED) SearchModuleOnDeviceChange(MainWindowView());
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterMainWindowClass() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN_MENU);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExW(&windowClass) != 0;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// The console speaks Korean to a user whose Windows shows Korean or whose
// programs run in the Korean code page, and English to everyone else.
Language UserLanguage() {
    bool korean = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_KOREAN || GetACP() == 949;
    return korean ? Language::Korean : Language::English;
}

}  // namespace

int RunProgram(HINSTANCE instance, const char* commandLine, int showState) {
    g_instance = instance;
    StartProgram(commandLine, UserLanguage());
    if (!RegisterMainWindowClass()) return 0;
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 0;
    ShowWindow(window, showState);
    UpdateWindow(window);
    return RunMessageLoop();
}

int RunProgramWide(HINSTANCE instance, const wchar_t* commandLine, int showState) {
    // Longest command line Windows passes to a program, in wide characters,
    // at two bytes each at most in code page 949. A command line the code
    // page cannot hold exactly comes through empty: no file is loaded.
    static char narrow[32768 * 2];
    Cp949FromWide(commandLine, narrow, sizeof narrow);
    return RunProgram(instance, narrow, showState);
}
