// The pause between two transactions on Windows, to the millisecond. Sleep
// ends on a tick of the system timer, 15.625 ms apart unless a program asks
// for finer ones, which makes a 40 ms Sleep last 46.9 ms. A high-resolution
// waitable timer (Windows 10 1803 and later) ends when asked; where the
// system refuses one, the timer period is made 1 ms for the pause alone.
#pragma once

#include <windows.h>

// The system services the pause uses; a test gives its own to see what the
// pause asks of them.
struct PauseServices {
    HANDLE(WINAPI* createTimer)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    BOOL(WINAPI* setTimer)(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL);
    DWORD(WINAPI* wait)(HANDLE, DWORD);
    BOOL(WINAPI* close)(HANDLE);
    UINT(WINAPI* beginPeriod)(UINT);
    UINT(WINAPI* endPeriod)(UINT);
    void(WINAPI* sleep)(DWORD);
};

extern const PauseServices SYSTEM_PAUSE_SERVICES;

// The services that the pause uses from now on; the system's until then.
void UsePauseServices(const PauseServices& services);

void PauseExactly(int milliseconds);
