#include "cli/interrupt.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

std::atomic<bool> g_interrupted{false};

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (g_interrupted.exchange(true)) return FALSE;  // the second one ends the program
    return TRUE;
}
#else
void OnInterrupt(int) {
    RequestInterrupt();
}
#endif

}  // namespace

void CatchInterrupts() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // the second one ends the program
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif
}

bool InterruptRequested() {
    return g_interrupted.load();
}

void RequestInterrupt() {
    g_interrupted.store(true);
}

void ForgetInterrupt() {
    g_interrupted.store(false);
}
