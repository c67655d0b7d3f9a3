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

using PeriodCall = UINT(WINAPI*)(UINT);

// A timer period call of winmm.dll. The DLL is loaded the first time the
// timer is refused, and kept for the run: importing it would cost every
// start its own imports (msacm32 and ole32 under Wine) where the timer serves.
UINT CallWinmm(const char* name, UINT period) {
    static const HMODULE winmm = LoadLibraryW(L"winmm.dll");
    FARPROC found = winmm != nullptr ? GetProcAddress(winmm, name) : nullptr;
    if (found == nullptr) return TIMERR_NOCANDO;
    // Through void (*)(), which any function pointer type is cast to and from.
    return reinterpret_cast<PeriodCall>(reinterpret_cast<void (*)()>(found))(period);
}

UINT WINAPI BeginPeriod(UINT period) {
    return CallWinmm("timeBeginPeriod", period);
}

UINT WINAPI EndPeriod(UINT period) {
    return CallWinmm("timeEndPeriod", period);
}

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
    BeginPeriod,
    EndPeriod,
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
