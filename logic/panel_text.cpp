#include "logic/panel_text.h"

void RedrawPanel(View& view) {
    FormatSlotTexts(g_selectedLayer);
    view.RedrawPanel();
}

void SelectNormalLayer(View& view) {
    view.CheckLayerButton(LAYER_NORMAL);
    g_selectedLayer = LAYER_NORMAL;
}
