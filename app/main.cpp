#include <windows.h>

#include "app/main_window.h"
#include "device/win_hid_transport.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showState) {
    UseHidTransport(&WinHidTransport());
    return RunProgramWide(instance, commandLine, showState);
}
