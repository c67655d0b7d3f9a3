// File > Open, Save and Save As, and the load of the current path.
#pragma once

#include "logic/view.h"

// Loads the current path into the table; a file that cannot be read leaves
// the table as it was. Either way the slot texts then hold its normal layer,
// the layer that every load shows.
void LoadCurrentFile();

void OpenFile(View& view);
// Saves to the current path when the table has a file title, else as Save As.
void SaveFile(View& view);
void SaveFileAs(View& view);
