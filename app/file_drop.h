// Files dropped on the main window from Explorer.
#pragma once

#include <windows.h>

#include <shellapi.h>

// Opens the first ".kbd" file of the drop as File > Open would, and ends the
// drop.
void OpenDroppedFiles(HDROP drop);
