#include "logic/commands.h"

#include "logic/command_ids.h"
#include "logic/console_text.h"
#include "logic/device_commands.h"
#include "logic/file_commands.h"
#include "logic/panel_text.h"

namespace {

void ChangeSlot(View& view, int slot) {
    int32_t code = view.RunKeyPicker();
    if (code == 0) return;
    SetKeyCode(g_selectedLayer, slot, code);
    RedrawPanel(view);
}

void ClearSlot(View& view, int slot) {
    ClearKeyCode(g_selectedLayer, slot);
    RedrawPanel(view);
}

void SelectLayer(View& view, int layer) {
    g_selectedLayer = layer;
    RedrawPanel(view);
}

void NewTable(View& view) {
    g_fileTitle[0] = '\0';
    ClearKeyTable();
    RedrawPanel(view);
    SelectNormalLayer(view);
    g_consoleText[0] = '\0';
    view.SetConsoleText(g_consoleText);
}

}  // namespace

void OnCommand(View& view, int id) {
    if (id >= ID_CHANGE_FIRST && id < ID_CHANGE_FIRST + SLOT_COUNT) {
        ChangeSlot(view, id - ID_CHANGE_FIRST + 1);
    } else if (id >= ID_CLEAR_FIRST && id < ID_CLEAR_FIRST + SLOT_COUNT) {
        ClearSlot(view, id - ID_CLEAR_FIRST + 1);
    } else if (id == ID_NORMAL_LAYER || id == ID_SHIFT_LAYER) {
        SelectLayer(view, id == ID_SHIFT_LAYER ? LAYER_SHIFT : LAYER_NORMAL);
    } else if (id == IDM_FILE_NEW) {
        NewTable(view);
    } else if (id == IDM_FILE_EXIT) {
        view.Quit();
    } else if (id == IDM_FILE_OPEN) {
        OpenFile(view);
    } else if (id == IDM_FILE_SAVE) {
        SaveFile(view);
    } else if (id == IDM_FILE_SAVE_AS) {
        SaveFileAs(view);
    } else if (id == IDM_DATA_WRITE) {
        WriteToModule(view);
    } else if (id == IDM_DATA_READ) {
        ReadFromModule(view);
    } else if (id == IDM_USB_RESET) {
        ResetModule(view);
    }
}
