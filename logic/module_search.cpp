#include "logic/module_search.h"

#include <cstdio>

#include "device/hid_link.h"
#include "logic/console_text.h"
#include "logic/messages.h"
#include "logic/panel_text.h"

namespace {

int FindModule() {
    int model = ConnectModuleOf(MODEL_QX206, MODEL_QX209);
    g_connectedModelId = model;
    return model;
}

void ShowLayerButtonsFor(View& view, int model) {
    if (model == MODEL_QX206) {
        view.CheckLayerButton(LAYER_NORMAL);
        view.ShowLayerButtons(false);
        // A QX206 has no way to pick the shift layer, so the panel must not stay on it.
        if (g_selectedLayer != LAYER_NORMAL) {
            g_selectedLayer = LAYER_NORMAL;
            RedrawPanel(view);
        }
    } else {
        view.ShowLayerButtons(true);
    }
}

void ShowConnected(View& view, Message message) {
    view.EnableDeviceCommands(true);
    std::snprintf(g_statusText, sizeof g_statusText, STATUS_CONNECTED, g_connectedModelId);
    g_connected = 1;
    ReplaceConsoleText(message, g_connectedModelId);
    view.SetConsoleText(g_consoleText);
    g_labelModelId = g_connectedModelId;
    ShowLayerButtonsFor(view, g_connectedModelId);
}

void ShowRemoved(View& view) {
    view.EnableDeviceCommands(false);
    if (g_connected != 1) return;
    std::snprintf(g_statusText, sizeof g_statusText, "%s", STATUS_REMOVED);
    ReplaceConsoleText(MSG_REMOVED);
    view.SetConsoleText(g_consoleText);
}

}  // namespace

void SearchModuleAtCreation(View& view) {
    if (FindModule() != 0) ShowConnected(view, MSG_CONNECTED_AT_START);
}

void SearchModuleOnDeviceChange(View& view) {
    if (FindModule() != 0) {
        ShowConnected(view, MSG_CONNECTED);
        view.RedrawRowLabels();
    } else {
        ShowRemoved(view);
    }
    view.SetStatusText(g_statusText);
}
