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

void ShowNormalLayer(View& view) {
    SelectLayer(view, LAYER_NORMAL);
}

void ShowShiftLayer(View& view) {
    SelectLayer(view, LAYER_SHIFT);
}

void NewTable(View& view) {
    g_fileTitle[0] = '\0';
    ClearKeyTable();
    RedrawPanel(view);
    SelectNormalLayer(view);
    ClearConsoleText();
    view.SetConsoleText(g_consoleText);
}

void ExitProgram(View& view) {
    view.Quit();
}

struct CommandHandler {
    int id;
    void (*run)(View& view);
};

#define COMMAND(name, id, handler) {name, handler},
const CommandHandler HANDLERS[] = {
#include "logic/command_list.inc"
};
#undef COMMAND

}  // namespace

void OnCommand(View& view, int id) {
    if (id >= ID_CHANGE_FIRST && id < ID_CHANGE_FIRST + SLOT_COUNT) {
        ChangeSlot(view, id - ID_CHANGE_FIRST + 1);
    } else if (id >= ID_CLEAR_FIRST && id < ID_CLEAR_FIRST + SLOT_COUNT) {
        ClearSlot(view, id - ID_CLEAR_FIRST + 1);
    } else {
        for (const CommandHandler& command : HANDLERS) {
            if (command.id == id) command.run(view);
        }
    }
}
