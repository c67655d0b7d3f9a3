// The yardstick of the programs' bench: a window and its message loop, with
// the system DLLs the programs load (common controls, common dialogs, the
// shell) and nothing else, so that what Wine and the system cost any such
// window program is taken out of the figures.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

namespace {

constexpr wchar_t CLASS_NAME[] = L"UsbkbdBareWindow";

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Loaded at start, as the programs load it, though never called here.
    volatile auto openDialog = &GetOpenFileNameW;
    (void)openDialog;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = CLASS_NAME;
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowW(CLASS_NAME, L"bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    DragAcceptFiles(window, TRUE);
    ShowWindow(window, showState);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
