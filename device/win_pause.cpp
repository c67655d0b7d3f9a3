#include "device/win_pause.h"

#include <mmsystem.h>

// MinGW-w64's headers lack it; Windows 10 1803 and later take it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// A waitable timer's due time counts 100 ns; a negative one is relative.
constexpr LONGLONG TIMER_UNITS_PER_MS = 10000;
constexpr UINT FINEST_PERIOD_MS = 1;

const PauseServices* g_services = &SYSTEM_PAUSE_SERVICES;

// Sleep with the system timer's period at 1 ms, given back after it.
void SleepAtFinestPeriod(int milliseconds, const PauseServices& services) {
    bool fine = services.beginPeriod(FINEST_PERIOD_MS) == TIMERR_NOERROR;
    services.sleep(static_cast<DWORD>(milliseconds));
    if (fine) services.endPeriod(FINEST_PERIOD_MS);
}

}  // namespace

const PauseServices SYSTEM_PAUSE_SERVICES = {
    CreateWaitableTimerExW,
    SetWaitableTimer,
    WaitForSingleObject,
    CloseHandle,
    timeBeginPeriod,
    timeEndPeriod,
    Sleep,
};

void UsePauseServices(const PauseServices& services) {
    g_services = &services;
}

void PauseExactly(int milliseconds) {
    const PauseServices& services = *g_services;
    HANDLE timer = services.createTimer(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_MODIFY_STATE | SYNCHRONIZE);
    LARGE_INTEGER due;
    due.QuadPart = -milliseconds * TIMER_UNITS_PER_MS;
    bool set = timer != nullptr && services.setTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    if (set) services.wait(timer, INFINITE);
    if (timer != nullptr) services.close(timer);
    if (!set) SleepAtFinestPeriod(milliseconds, services);
}
