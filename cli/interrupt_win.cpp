#include <windows.h>

#include "cli/interrupt.h"
#include "cli/interrupt_flag.h"

namespace {

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (g_interrupted.exchange(true)) return FALSE;  // the second one ends the program
    return TRUE;
}

}  // namespace

void CatchInterrupts() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
