#include "app/file_commands.h"

#include <windows.h>

#include <commdlg.h>

#include "app/commands.h"
#include "app/console.h"
#include "app/console_text.h"
#include "app/messages.h"
#include "app/panel.h"
#include "app/wide_text.h"
#include "app/window_state.h"
#include "files/kbd_file.h"

namespace {

constexpr wchar_t FILE_FILTER[] = L"Keyboard Data (*.kbd)\0*.kbd\0All Files (*.*)\0*.*\0";

enum class FileDialog { Open, Save };

// Runs the common file dialog on the current path and file title; false when
// cancelled or when the chosen path does not fit the program's path buffers.
bool RunFileDialog(FileDialog kind) {
    wchar_t path[PATH_SIZE];
    wchar_t title[PATH_SIZE];
    lstrcpynW(path, WideFromCp949(g_currentPath).c_str(), PATH_SIZE);
    lstrcpynW(title, WideFromCp949(g_fileTitle).c_str(), PATH_SIZE);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = g_mainWindow;
    dialog.lpstrFilter = FILE_FILTER;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = PATH_SIZE;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = PATH_SIZE;
    dialog.lpstrDefExt = L"kbd";
    dialog.Flags =
        kind == FileDialog::Open ? OFN_FILEMUSTEXIST | OFN_HIDEREADONLY : OFN_PATHMUSTEXIST;
    BOOL chosen = kind == FileDialog::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!chosen) return false;

    char chosenPath[PATH_SIZE];
    char chosenTitle[PATH_SIZE];
    if (!Cp949FromWide(path, chosenPath, PATH_SIZE) ||
        !Cp949FromWide(title, chosenTitle, PATH_SIZE)) {
        return false;
    }
    lstrcpynA(g_currentPath, chosenPath, PATH_SIZE);
    lstrcpynA(g_fileTitle, chosenTitle, PATH_SIZE);
    return true;
}

void SaveCurrentFile() {
    if (SaveKeyFile(g_currentPath)) return;
    ReplaceConsoleText("%s", MSG_SAVE_ERROR);
    ShowConsoleText();
}

}  // namespace

void LoadCurrentFile() {
    if (LoadKeyFile(g_currentPath)) RefreshSlotTextsFromNormalLayer();
}

void OpenFile() {
    if (!RunFileDialog(FileDialog::Open)) return;
    InvalidateRect(g_mainWindow, nullptr, TRUE);
    SelectNormalLayerButton();
    g_selectedLayer = LAYER_NORMAL;
    LoadCurrentFile();
}

void SaveFile() {
    if (g_fileTitle[0] != '\0') {
        SaveCurrentFile();
    } else {
        SaveFileAs();
    }
}

void SaveFileAs() {
    if (!RunFileDialog(FileDialog::Save)) return;
    InvalidateRect(g_mainWindow, nullptr, TRUE);
    SaveCurrentFile();
}
