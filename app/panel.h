// The assignment panel: row labels, slot texts and leader lines.
#pragma once

#include <windows.h>

// Draws the eight slot rows of the selected layer at once.
void RedrawPanel();
// Draws the ten row labels of the label model at once over the old ones.
void RedrawRowLabels();
// Sets the slot texts from the normal layer without drawing them.
void RefreshSlotTextsFromNormalLayer();

// Paint steps: leader lines and slot texts as they stand; the row labels.
void PaintSlotRows(HDC dc);
void PaintRowLabels(HDC dc);
