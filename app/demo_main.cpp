// usbkbd-demo.exe: the program with the simulated bus of demo_bus.h in place
// of the system's HID devices.
#include <windows.h>

#include "app/demo_bus.h"
#include "app/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showState) {
    StartDemoBus();
    int exitCode = RunProgramWide(instance, commandLine, showState);
    StopDemoBus();
    return exitCode;
}
