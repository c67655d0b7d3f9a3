#include "app/console.h"

#include <windows.h>

#include <commctrl.h>

#include "app/console_text.h"
#include "app/wide_text.h"
#include "app/window_state.h"

void ShowConsoleText() {
    SetWindowTextW(g_console, WideFromCp949(g_consoleText).c_str());
}

void ShowStatusText() {
    SendMessageW(g_statusBar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(WideFromCp949(g_statusText).c_str()));
}
