#include "app/commands.h"

#include "app/command_ids.h"
#include "app/console.h"
#include "app/console_text.h"
#include "app/device_commands.h"
#include "app/file_commands.h"
#include "app/key_picker.h"
#include "app/panel.h"
#include "app/window_state.h"

namespace {

void ChangeSlot(int slot) {
    RunKeyPicker();
    if (g_pickedCode == 0) return;
    SetKeyCode(g_selectedLayer, slot, g_pickedCode);
    RedrawPanel();
}

void ClearSlot(int slot) {
    ClearKeyCode(g_selectedLayer, slot);
    RedrawPanel();
}

void SelectLayer(int layer) {
    g_selectedLayer = layer;
    RedrawPanel();
}

void NewTable() {
    g_fileTitle[0] = '\0';
    ClearKeyTable();
    RedrawPanel();
    SelectNormalLayerButton();
    g_selectedLayer = LAYER_NORMAL;
    g_consoleText[0] = '\0';
    ShowConsoleText();
}

}  // namespace

void SelectNormalLayerButton() {
    SendMessageW(g_normalLayerButton, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(g_shiftLayerButton, BM_SETCHECK, BST_UNCHECKED, 0);
}

void OnCommand(int id) {
    if (id >= ID_CHANGE_FIRST && id < ID_CHANGE_FIRST + SLOT_COUNT) {
        ChangeSlot(id - ID_CHANGE_FIRST + 1);
    } else if (id >= ID_CLEAR_FIRST && id < ID_CLEAR_FIRST + SLOT_COUNT) {
        ClearSlot(id - ID_CLEAR_FIRST + 1);
    } else if (id == ID_NORMAL_LAYER || id == ID_SHIFT_LAYER) {
        SelectLayer(id == ID_SHIFT_LAYER ? LAYER_SHIFT : LAYER_NORMAL);
    } else if (id == IDM_FILE_NEW) {
        NewTable();
    } else if (id == IDM_FILE_EXIT) {
        PostQuitMessage(0);
    } else if (id == IDM_FILE_OPEN) {
        OpenFile();
    } else if (id == IDM_FILE_SAVE) {
        SaveFile();
    } else if (id == IDM_FILE_SAVE_AS) {
        SaveFileAs();
    } else if (id == IDM_DATA_WRITE) {
        WriteToModule();
    } else if (id == IDM_DATA_READ) {
        ReadFromModule();
    } else if (id == IDM_USB_RESET) {
        ResetModule();
    }
}
