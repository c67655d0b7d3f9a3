#include "app/window_state.h"

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_statusBar;
HWND g_normalLayerButton;
HWND g_shiftLayerButton;
HWND g_console;
HFONT g_font12;
HFONT g_font13;
