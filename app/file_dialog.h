// The system's Open and Save As dialogs over the program's code page 949 paths.
#pragma once

#include "logic/view.h"

// Runs the common file dialog starting from file; fills file only when both
// the chosen path and title convert whole to code page 949 within PATH_SIZE.
FileChoice RunFileDialog(FileDialogKind kind, ChosenFile* file);
