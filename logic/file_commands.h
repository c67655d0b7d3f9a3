// File > Open, Save and Save As, and the load of the current path.
#pragma once

#include <string>
#include <vector>

#include "logic/view.h"

// Loads the current path into the table; a file that cannot be read leaves
// the table as it was. Either way the slot texts then hold its normal layer,
// the layer that every load shows.
void LoadCurrentFile();

void OpenFile(View& view);
// Opens the first ".kbd" file among those dropped on the window as Open opens
// the file chosen. Paths are code page 949 bytes; a front-end passes an empty
// one for a name the code page cannot hold. Other files are ignored.
void OpenDroppedFile(View& view, const std::vector<std::string>& paths);
// Saves to the current path when the table has a file title, else as Save As.
void SaveFile(View& view);
void SaveFileAs(View& view);
