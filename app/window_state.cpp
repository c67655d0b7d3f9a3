#include "app/window_state.h"

char g_currentPath[PATH_SIZE];
char g_fileTitle[PATH_SIZE];
char g_statusText[STATUS_TEXT_SIZE];
int g_connected;
int g_connectedModelId;
int g_labelModelId;
int g_selectedLayer;
char g_slotTexts[SLOT_COUNT][DISPLAY_TEXT_SIZE];

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_statusBar;
HWND g_normalLayerButton;
HWND g_shiftLayerButton;
HWND g_console;
HFONT g_font12;
HFONT g_font13;
