// The program's state between the window and the core: alive for the whole run.
#pragma once

#include <cstddef>

#include "model/key_names.h"
#include "model/key_table.h"

constexpr size_t PATH_SIZE = 260;
constexpr size_t STATUS_TEXT_SIZE = 260;

extern char g_currentPath[PATH_SIZE];
extern char g_fileTitle[PATH_SIZE];
extern char g_statusText[STATUS_TEXT_SIZE];
extern int g_connected;
extern int g_connectedModelId;
extern int g_labelModelId;
extern int g_selectedLayer;
extern char g_slotTexts[SLOT_COUNT][DISPLAY_TEXT_SIZE];

// Sets the slot texts from the table's layer, without showing them.
void FormatSlotTexts(int layer);
