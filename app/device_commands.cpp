#include "app/device_commands.h"

#include "app/commands.h"
#include "app/console.h"
#include "app/console_text.h"
#include "app/messages.h"
#include "app/panel.h"
#include "app/window_state.h"
#include "device/module_commands.h"
#include "device/report_exchange.h"

namespace {

void ShowWaitCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void EndCommand() {
    ShowConsoleText();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

// " > Scan Code : " and the two layers' words, eight to a line.
void DumpScanCodes() {
    ReplaceConsoleText(" > Scan Code : \r\n    %04X ", GetKeyCode(LAYER_NORMAL, 1));
    for (int slot = 2; slot <= SLOT_COUNT; ++slot) {
        AppendConsoleText(" %04X ", GetKeyCode(LAYER_NORMAL, slot));
    }
    AppendConsoleText("\r\n    %04X ", GetKeyCode(LAYER_SHIFT, 1));
    for (int slot = 2; slot < SLOT_COUNT; ++slot) {
        AppendConsoleText(" %04X ", GetKeyCode(LAYER_SHIFT, slot));
    }
    AppendConsoleText(" %04X\r\n", GetKeyCode(LAYER_SHIFT, SLOT_COUNT));
}

}  // namespace

void WriteToModule() {
    ShowWaitCursor();
    DumpScanCodes();
    ShowConsoleText();
    AppendConsoleText("%s", WriteKeyTable() ? MSG_WRITE_DONE : MSG_WRITE_ERROR);
    EndCommand();
}

void ReadFromModule() {
    ShowWaitCursor();
    int version = ReadFirmwareVersion();
    if (version == 0) {
        ReplaceConsoleText("%s", MSG_RECEIVE_ERROR);
        EndCommand();
        return;
    }
    ReplaceConsoleText(MSG_FIRMWARE_VERSION, version / 16, version % 16);
    ShowConsoleText();
    SelectNormalLayerButton();
    g_selectedLayer = LAYER_NORMAL;
    if (ReadKeyTable() != 0) {
        ReplaceConsoleText("%s", MSG_RECEIVE_ERROR);
    } else {
        RedrawPanel();
        AppendConsoleText("%s", MSG_READ_DONE);
    }
    EndCommand();
}

void ResetModule() {
    ShowWaitCursor();
    if (Transact(CMD_RESET, 0, 0, 0, 0, 0)) {
        g_statusText[0] = '\0';
        ShowStatusText();
        g_connected = 0;
        ReplaceConsoleText("%s", MSG_RESET_DONE);
    } else {
        ReplaceConsoleText("%s", MSG_RESET_ERROR);
    }
    EndCommand();
}
