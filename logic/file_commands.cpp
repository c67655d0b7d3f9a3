#include "logic/file_commands.h"

#include <cstdio>

#include "files/kbd_file.h"
#include "logic/console_text.h"
#include "logic/messages.h"
#include "logic/panel_text.h"

namespace {

// Runs the file dialog on the current path and file title and keeps the
// file chosen: a text cut short to fit, or with a character that the code
// page lacks, would name some other file, so the view keeps nothing then.
FileChoice ChooseFile(View& view, FileDialogKind kind) {
    ChosenFile file;
    std::snprintf(file.path, sizeof file.path, "%s", g_currentPath);
    std::snprintf(file.title, sizeof file.title, "%s", g_fileTitle);
    FileChoice choice = view.RunFileDialog(kind, &file);
    if (choice == FileChoice::Kept) {
        std::snprintf(g_currentPath, sizeof g_currentPath, "%s", file.path);
        std::snprintf(g_fileTitle, sizeof g_fileTitle, "%s", file.title);
    }
    return choice;
}

void ShowSaveError(View& view) {
    ReplaceConsoleText(MSG_SAVE_ERROR);
    view.SetConsoleText(g_consoleText);
}

void SaveCurrentFile(View& view) {
    if (!SaveKeyFile(g_currentPath)) ShowSaveError(view);
}

// A name ending in ".kbd" in any case, as the file system matches names. No
// byte of a two-byte code page 949 character is a '.', so the end is never
// part of one.
bool IsKbdFileName(const std::string& path) {
    const char* end = path.c_str() + path.size();
    if (path.size() < 4) return false;
    return end[-4] == '.' && (end[-3] | 0x20) == 'k' && (end[-2] | 0x20) == 'b' &&
           (end[-1] | 0x20) == 'd';
}

// The part of a path after its last folder separator, as the Open dialog
// gives a file's title.
const char* TitleOf(const std::string& path) {
    size_t separator = path.find_last_of("\\/");
    return path.c_str() + (separator == std::string::npos ? 0 : separator + 1);
}

// The file chosen is in the current path: it replaces the table, shown in
// the normal layer over a window painted anew.
void OpenChosenFile(View& view) {
    view.RepaintWindow();
    SelectNormalLayer(view);
    LoadCurrentFile();
}

}  // namespace

void LoadCurrentFile() {
    LoadKeyFile(g_currentPath);
    FormatSlotTexts(LAYER_NORMAL);
}

void OpenFile(View& view) {
    // A file the program cannot name is as good as cancelled: the current
    // path, which names some other file, must not be loaded instead.
    if (ChooseFile(view, FileDialogKind::Open) != FileChoice::Kept) return;
    OpenChosenFile(view);
}

void OpenDroppedFile(View& view, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (!IsKbdFileName(path) || path.size() >= PATH_SIZE) continue;
        std::snprintf(g_currentPath, sizeof g_currentPath, "%s", path.c_str());
        std::snprintf(g_fileTitle, sizeof g_fileTitle, "%s", TitleOf(path));
        OpenChosenFile(view);
        return;
    }
}

void SaveFile(View& view) {
    if (g_fileTitle[0] != '\0') {
        SaveCurrentFile(view);
    } else {
        SaveFileAs(view);
    }
}

void SaveFileAs(View& view) {
    FileChoice choice = ChooseFile(view, FileDialogKind::Save);
    if (choice == FileChoice::Cancelled) return;
    view.RepaintWindow();
    if (choice == FileChoice::Kept) {
        SaveCurrentFile(view);
    } else {
        ShowSaveError(view);
    }
}
