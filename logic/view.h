// What the logic asks of a front-end: the main window as a set of things to
// show and dialogs to run. Texts are code page 949 bytes; the view reads the
// slot texts and the label model from the program state when it draws.
#pragma once

#include <cstdint>

#include "logic/program_state.h"

enum class FileDialogKind { Open, Save };

// How a file dialog ended: cancelled, with a file the program keeps in its
// current path, or with one that it cannot name in code page 949 within its
// path buffers.
enum class FileChoice { Cancelled, Kept, Unnamable };

// The file a dialog starts from and, when it ends with Kept, the one chosen.
struct ChosenFile {
    char path[PATH_SIZE];
    char title[PATH_SIZE];
};

class View {
public:
    virtual ~View() = default;

    virtual void SetConsoleText(const char* text) = 0;
    virtual void SetStatusText(const char* text) = 0;
    // Data > Write, Data > Read and USB > Reset.
    virtual void EnableDeviceCommands(bool enabled) = 0;
    virtual void ShowLayerButtons(bool shown) = 0;
    // Checks the layer's button and clears the other one.
    virtual void CheckLayerButton(int layer) = 0;
    // Draws the slot texts at once.
    virtual void RedrawPanel() = 0;
    // Draws the row labels of the label model at once over the old ones.
    virtual void RedrawRowLabels() = 0;
    // Has the whole window painted anew when it next paints.
    virtual void RepaintWindow() = 0;
    // The wait cursor while a device command runs.
    virtual void SetBusy(bool busy) = 0;
    // Runs the key picker; the key code word picked, 0 when nothing was.
    virtual int32_t RunKeyPicker() = 0;
    // Runs a file dialog that starts from file and fills it when Kept.
    virtual FileChoice RunFileDialog(FileDialogKind kind, ChosenFile* file) = 0;
    // Ends the program.
    virtual void Quit() = 0;
};
