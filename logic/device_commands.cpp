#include "logic/device_commands.h"

#include "device/module_commands.h"
#include "logic/console_text.h"
#include "logic/messages.h"
#include "logic/panel_text.h"

namespace {

void EndCommand(View& view) {
    view.SetConsoleText(g_consoleText);
    view.SetBusy(false);
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

void WriteToModule(View& view) {
    view.SetBusy(true);
    DumpScanCodes();
    view.SetConsoleText(g_consoleText);
    AppendConsoleText(WriteKeyTable() ? MSG_WRITE_DONE : MSG_WRITE_ERROR);
    EndCommand(view);
}

void ReadFromModule(View& view) {
    view.SetBusy(true);
    int version = ReadFirmwareVersion();
    if (version == 0) {
        ReplaceConsoleText(MSG_RECEIVE_ERROR);
        EndCommand(view);
        return;
    }
    ReplaceConsoleText(MSG_FIRMWARE_VERSION, version / 16, version % 16);
    view.SetConsoleText(g_consoleText);
    SelectNormalLayer(view);
    if (ReadKeyTable() != 0) {
        ReplaceConsoleText(MSG_RECEIVE_ERROR);
    } else {
        RedrawPanel(view);
        AppendConsoleText(MSG_READ_DONE);
    }
    EndCommand(view);
}

void ResetModule(View& view) {
    view.SetBusy(true);
    if (SendReset()) {
        g_statusText[0] = '\0';
        view.SetStatusText(g_statusText);
        g_connected = 0;
        ReplaceConsoleText(MSG_RESET_DONE);
    } else {
        ReplaceConsoleText(MSG_RESET_ERROR);
    }
    EndCommand(view);
}
