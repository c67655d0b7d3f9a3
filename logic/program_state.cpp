#include "logic/program_state.h"

char g_currentPath[PATH_SIZE];
char g_fileTitle[PATH_SIZE];
char g_statusText[STATUS_TEXT_SIZE];
int g_connected;
int g_connectedModelId;
int g_labelModelId;
int g_selectedLayer;
char g_slotTexts[SLOT_COUNT][DISPLAY_TEXT_SIZE];

void FormatSlotTexts(int layer) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        FormatKeyCode(GetKeyCode(layer, slot), g_slotTexts[slot - 1], DISPLAY_TEXT_SIZE);
    }
}
