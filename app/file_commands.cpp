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

// How a file dialog ended: cancelled, with a file the program keeps in its
// current path, or with one that it cannot name in code page 949 within its
// path buffers.
enum class Choice { Cancelled, Kept, Unnamable };

// Keeps the chosen path and title when both convert whole to code page 949:
// a text cut short to fit, or with a character that the code page lacks,
// would name some other file.
bool KeepChosenFile(const wchar_t* path, const wchar_t* title) {
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

// Runs the common file dialog on the current path and file title.
Choice RunFileDialog(FileDialog kind) {
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
    if (!chosen) return Choice::Cancelled;
    return KeepChosenFile(path, title) ? Choice::Kept : Choice::Unnamable;
}

void ShowSaveError() {
    ReplaceConsoleText("%s", MSG_SAVE_ERROR);
    ShowConsoleText();
}

void SaveCurrentFile() {
    if (!SaveKeyFile(g_currentPath)) ShowSaveError();
}

}  // namespace

void LoadCurrentFile() {
    LoadKeyFile(g_currentPath);
    RefreshSlotTextsFromNormalLayer();
}

void OpenFile() {
    // A file the program cannot name is as good as cancelled: the current
    // path, which names some other file, must not be loaded instead.
    if (RunFileDialog(FileDialog::Open) != Choice::Kept) return;
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
    Choice choice = RunFileDialog(FileDialog::Save);
    if (choice == Choice::Cancelled) return;
    InvalidateRect(g_mainWindow, nullptr, TRUE);
    if (choice == Choice::Kept) {
        SaveCurrentFile();
    } else {
        ShowSaveError();
    }
}
