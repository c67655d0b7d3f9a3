#include "app/module_search.h"

#include <cstdio>

#include "app/command_ids.h"
#include "app/console.h"
#include "app/console_text.h"
#include "app/messages.h"
#include "app/panel.h"
#include "app/window_state.h"
#include "device/hid_link.h"

namespace {

const int DEVICE_COMMANDS[] = {IDM_DATA_WRITE, IDM_DATA_READ, IDM_USB_RESET};

void EnableDeviceCommands(UINT flags) {
    HMENU menu = GetMenu(g_mainWindow);
    for (int id : DEVICE_COMMANDS) EnableMenuItem(menu, id, MF_BYCOMMAND | flags);
}

int FindModule() {
    int model = ConnectModule(MODEL_QX206);
    if (model == 0) model = ConnectModule(MODEL_QX209);
    g_connectedModelId = model;
    return model;
}

void ShowLayerButtonsFor(int model) {
    if (model == MODEL_QX206) {
        SendMessageW(g_normalLayerButton, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(g_shiftLayerButton, BM_SETCHECK, BST_UNCHECKED, 0);
        ShowWindow(g_normalLayerButton, SW_HIDE);
        ShowWindow(g_shiftLayerButton, SW_HIDE);
        // A QX206 has no way to pick the shift layer, so the panel must not stay on it.
        if (g_selectedLayer != LAYER_NORMAL) {
            g_selectedLayer = LAYER_NORMAL;
            RedrawPanel();
        }
    } else {
        ShowWindow(g_normalLayerButton, SW_SHOW);
        ShowWindow(g_shiftLayerButton, SW_SHOW);
    }
}

void ShowConnected(const char* message) {
    EnableDeviceCommands(MF_ENABLED);
    std::snprintf(g_statusText, sizeof g_statusText, STATUS_CONNECTED, g_connectedModelId);
    g_connected = 1;
    ReplaceConsoleText(message, g_connectedModelId);
    ShowConsoleText();
    g_labelModelId = g_connectedModelId;
    ShowLayerButtonsFor(g_connectedModelId);
}

void ShowRemoved() {
    EnableDeviceCommands(MF_DISABLED | MF_GRAYED);
    if (g_connected != 1) return;
    std::snprintf(g_statusText, sizeof g_statusText, "%s", STATUS_REMOVED);
    ReplaceConsoleText("%s", MSG_REMOVED);
    ShowConsoleText();
}

}  // namespace

void SearchModuleAtCreation() {
    if (FindModule() != 0) ShowConnected(MSG_CONNECTED_AT_START);
}

void SearchModuleOnDeviceChange() {
    if (FindModule() != 0) {
        ShowConnected(MSG_CONNECTED);
        RedrawRowLabels();
    } else {
        ShowRemoved();
    }
    ShowStatusText();
}
