// The panel's slot texts, formatted from the table and then shown.
#pragma once

#include "logic/view.h"

// Formats the slot texts of the selected layer and has the view draw them.
void RedrawPanel(View& view);

// Selects the normal layer and checks its button.
void SelectNormalLayer(View& view);
