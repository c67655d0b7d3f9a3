// The Windows transport's pause between two transactions: what it asks of
// the system's timer services, seen through stand-ins that record each call.
#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <vector>

#include "device/report_exchange.h"
#include "device/win_hid_transport.h"
#include "device/win_pause.h"

namespace {

std::vector<std::string> g_calls;
bool g_timerRefused;
HANDLE const TIMER = reinterpret_cast<HANDLE>(0x7100);

void Call(const std::string& call) {
    g_calls.push_back(call);
}

HANDLE WINAPI CreateTimer(LPSECURITY_ATTRIBUTES, LPCWSTR name, DWORD flags, DWORD access) {
    bool asked = name == nullptr && flags == 2 && (access & SYNCHRONIZE) != 0;
    Call(asked ? "create high-resolution timer" : "create other timer");
    return g_timerRefused ? nullptr : TIMER;
}
BOOL WINAPI SetTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE, LPVOID,
                     BOOL) {
    Call("set " + std::to_string(due->QuadPart) + " period " + std::to_string(period) +
         (timer == TIMER ? "" : " on another handle"));
    return TRUE;
}
DWORD WINAPI Wait(HANDLE timer, DWORD milliseconds) {
    Call(std::string(timer == TIMER ? "wait" : "wait on another handle") +
         (milliseconds == INFINITE ? "" : " " + std::to_string(milliseconds)));
    return WAIT_OBJECT_0;
}
BOOL WINAPI Close(HANDLE timer) {
    Call(timer == TIMER ? "close" : "close another handle");
    return TRUE;
}
UINT WINAPI BeginPeriod(UINT period) {
    Call("begin period " + std::to_string(period));
    return TIMERR_NOERROR;
}
UINT WINAPI EndPeriod(UINT period) {
    Call("end period " + std::to_string(period));
    return TIMERR_NOERROR;
}
void WINAPI Pause(DWORD milliseconds) {
    Call("sleep " + std::to_string(milliseconds));
}

const PauseServices RECORDED = {CreateTimer, SetTimer, Wait, Close, BeginPeriod, EndPeriod, Pause};

TEST(WinPause, WaitsOnAHighResolutionTimerOrSleepsAt1MsPeriodsForThePauseAlone) {
    const struct {
        bool timerRefused;
        std::vector<std::string> calls;
    } cases[] = {
        {false, {"create high-resolution timer", "set -400000 period 0", "wait", "close"}},
        {true, {"create high-resolution timer", "begin period 1", "sleep 40", "end period 1"}},
    };
    for (const auto& c : cases) {
        g_calls.clear();
        g_timerRefused = c.timerRefused;
        UsePauseServices(RECORDED);
        WinHidTransport().pause(TRANSACTION_PAUSE_MS);
        UsePauseServices(SYSTEM_PAUSE_SERVICES);
        EXPECT_EQ(g_calls, c.calls) << "refused: " << c.timerRefused;
    }
}

// The period calls reach winmm.dll, which the program loads only for them.
TEST(WinPause, TheSystemsPeriodCallsAreWinmms) {
    EXPECT_EQ(SYSTEM_PAUSE_SERVICES.beginPeriod(1), static_cast<UINT>(TIMERR_NOERROR));
    EXPECT_EQ(SYSTEM_PAUSE_SERVICES.endPeriod(1), static_cast<UINT>(TIMERR_NOERROR));
}

}  // namespace
