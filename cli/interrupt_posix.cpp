#include <csignal>

#include "cli/interrupt.h"

namespace {

void OnInterrupt(int) {
    RequestInterrupt();
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // the second one ends the program
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}
