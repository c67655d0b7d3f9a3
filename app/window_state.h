// The main window's handles and fonts: module-level, alive for the whole run.
#pragma once

#include <windows.h>

#include "logic/program_state.h"

extern HINSTANCE g_instance;
extern HWND g_mainWindow;
extern HWND g_statusBar;
extern HWND g_normalLayerButton;
extern HWND g_shiftLayerButton;
extern HWND g_console;
extern HFONT g_font12;
extern HFONT g_font13;
