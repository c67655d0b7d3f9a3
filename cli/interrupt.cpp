#include "cli/interrupt.h"

#include "cli/interrupt_flag.h"

std::atomic<bool> g_interrupted{false};

bool InterruptRequested() {
    return g_interrupted.load();
}

void RequestInterrupt() {
    g_interrupted.store(true);
}

void ForgetInterrupt() {
    g_interrupted.store(false);
}
