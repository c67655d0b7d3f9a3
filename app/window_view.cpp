#include "app/window_view.h"

#include <windows.h>

#include <commctrl.h>

#include "app/file_dialog.h"
#include "app/key_picker.h"
#include "app/panel.h"
#include "app/wide_text.h"
#include "app/window_state.h"
#include "logic/command_ids.h"

namespace {

const int DEVICE_COMMANDS[] = {IDM_DATA_WRITE, IDM_DATA_READ, IDM_USB_RESET};

}  // namespace

void WindowView::SetConsoleText(const char* text) {
    SetWindowTextW(g_console, WideFromCp949(text).c_str());
}

void WindowView::SetStatusText(const char* text) {
    SendMessageW(g_statusBar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(WideFromCp949(text).c_str()));
}

void WindowView::EnableDeviceCommands(bool enabled) {
    HMENU menu = GetMenu(g_mainWindow);
    UINT flags = enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED;
    for (int id : DEVICE_COMMANDS) EnableMenuItem(menu, id, MF_BYCOMMAND | flags);
}

void WindowView::ShowLayerButtons(bool shown) {
    ShowWindow(g_normalLayerButton, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(g_shiftLayerButton, shown ? SW_SHOW : SW_HIDE);
}

void WindowView::CheckLayerButton(int layer) {
    bool shift = layer == LAYER_SHIFT;
    SendMessageW(g_normalLayerButton, BM_SETCHECK, shift ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(g_shiftLayerButton, BM_SETCHECK, shift ? BST_CHECKED : BST_UNCHECKED, 0);
}

void WindowView::RedrawPanel() {
    ::RedrawPanel();
}

void WindowView::RedrawRowLabels() {
    ::RedrawRowLabels();
}

void WindowView::RepaintWindow() {
    InvalidateRect(g_mainWindow, nullptr, TRUE);
}

void WindowView::SetBusy(bool busy) {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

int32_t WindowView::RunKeyPicker() {
    ::RunKeyPicker();
    return g_pickedCode;
}

FileChoice WindowView::RunFileDialog(FileDialogKind kind, ChosenFile* file) {
    return ::RunFileDialog(kind, file);
}

void WindowView::Quit() {
    PostQuitMessage(0);
}

WindowView& MainWindowView() {
    static WindowView view;
    return view;
}
