#include "emu/sim_bus_edges.h"

#include <windows.h>

#include <dbt.h>

namespace {

constexpr wchar_t PATH_VARIABLE[] = L"USBKBD_SIM";
constexpr char DEFAULT_PATH[] = "usbkbd-sim.txt";
constexpr DWORD PATH_SIZE = 1024;
constexpr UINT CODE_PAGE_949 = 949;

BOOL CALLBACK PostToOwnWindow(HWND window, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) {
        PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
    return TRUE;
}

}  // namespace

// A name with a character that code page 949 lacks is not taken for a
// look-alike: the default file is used instead.
std::string SimBusFilePath() {
    wchar_t wide[PATH_SIZE];
    DWORD length = GetEnvironmentVariableW(PATH_VARIABLE, wide, PATH_SIZE);
    if (length == 0 || length >= PATH_SIZE) return DEFAULT_PATH;
    char path[2 * PATH_SIZE];  // a character takes at most two bytes
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(CODE_PAGE_949, WC_NO_BEST_FIT_CHARS, wide, -1, path,
                                    sizeof path, nullptr, &usedDefault);
    return bytes > 0 && !usedDefault ? path : DEFAULT_PATH;
}

void PostDeviceChangeNotice() {
    EnumWindows(PostToOwnWindow, 0);
}
