#include "app/sim_bus_edges.h"

#include <windows.h>

#include <dbt.h>

#include "app/main_window.h"
#include "app/wide_text.h"

namespace {

constexpr wchar_t PATH_VARIABLE[] = L"USBKBD_SIM";
constexpr char DEFAULT_PATH[] = "usbkbd-sim.txt";
constexpr size_t PATH_SIZE = 1024;

// The main window of this process, found by its class.
HWND OwnMainWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, MAIN_WINDOW_CLASS, nullptr)) != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

}  // namespace

std::string SimBusFilePath() {
    wchar_t wide[PATH_SIZE];
    char path[PATH_SIZE];
    DWORD length = GetEnvironmentVariableW(PATH_VARIABLE, wide, PATH_SIZE);
    bool named = length > 0 && length < PATH_SIZE && Cp949FromWide(wide, path, sizeof path);
    return named ? path : DEFAULT_PATH;
}

void PostDeviceChangeNotice() {
    HWND window = OwnMainWindow();
    if (window != nullptr) PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}
