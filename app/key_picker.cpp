#include "app/key_picker.h"

#include <windows.h>

#include <vector>

#include "app/wide_text.h"
#include "app/window_state.h"
#include "app/resource_ids.h"
#include "logic/key_picker_logic.h"

int32_t g_pickedCode;

namespace {

// The open dialog as the picker logic's view.
class PickerDialog : public KeyPickerView {
public:
    explicit PickerDialog(HWND dialog) : dialog_(dialog) {}

    void ShowKey(int id, bool shown) override {
        ShowWindow(GetDlgItem(dialog_, id), shown ? SW_SHOW : SW_HIDE);
    }

    void CaptionOf(int id, char* caption, size_t size) override {
        std::vector<wchar_t> wide(size, L'\0');
        GetWindowTextW(GetDlgItem(dialog_, id), wide.data(), static_cast<int>(size));
        Cp949FromWide(wide.data(), caption, size);
    }

    void EndPick(int32_t code) override {
        g_pickedCode = code;
        EndDialog(dialog_, 0);
    }

private:
    HWND dialog_;
};

INT_PTR CALLBACK KeyPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    PickerDialog view(dialog);
    if (message == WM_INITDIALOG) {
        g_pickedCode = 0;
        OpenKeyPicker(view);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        ClickPickerControl(view, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunKeyPicker() {
    DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_KEY_PICKER), g_mainWindow, KeyPickerProc, 0);
}
