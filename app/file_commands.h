// File > Open, Save and Save As, and the load of the current path.
#pragma once

// Loads the current path into the table; a file that cannot be read leaves
// the table as it was. Either way the slot texts then hold its normal layer,
// the layer that every load shows.
void LoadCurrentFile();

void OpenFile();
void SaveFile();
void SaveFileAs();
