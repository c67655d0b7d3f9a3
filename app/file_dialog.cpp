#include "app/file_dialog.h"

#include <windows.h>

#include <commdlg.h>

#include "app/wide_text.h"
#include "app/window_state.h"

namespace {

constexpr wchar_t FILE_FILTER[] = L"Keyboard Data (*.kbd)\0*.kbd\0All Files (*.*)\0*.*\0";

// Keeps the chosen path and title when both convert whole to code page 949.
bool KeepChosenFile(const wchar_t* path, const wchar_t* title, ChosenFile* file) {
    ChosenFile chosen;
    if (!Cp949FromWide(path, chosen.path, PATH_SIZE) ||
        !Cp949FromWide(title, chosen.title, PATH_SIZE)) {
        return false;
    }
    *file = chosen;
    return true;
}

}  // namespace

FileChoice RunFileDialog(FileDialogKind kind, ChosenFile* file) {
    wchar_t path[PATH_SIZE];
    wchar_t title[PATH_SIZE];
    lstrcpynW(path, WideFromCp949(file->path).c_str(), PATH_SIZE);
    lstrcpynW(title, WideFromCp949(file->title).c_str(), PATH_SIZE);

    bool open = kind == FileDialogKind::Open;
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
    dialog.Flags = open ? OFN_FILEMUSTEXIST | OFN_HIDEREADONLY : OFN_PATHMUSTEXIST;
    BOOL chosen = open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!chosen) return FileChoice::Cancelled;
    return KeepChosenFile(path, title, file) ? FileChoice::Kept : FileChoice::Unnamable;
}
