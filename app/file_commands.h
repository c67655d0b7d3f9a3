// File > Open, Save and Save As, and the load of the current path.
#pragma once

// Loads the current path into the table and the slot texts; a file that
// cannot be read leaves both as they were.
void LoadCurrentFile();

void OpenFile();
void SaveFile();
void SaveFileAs();
