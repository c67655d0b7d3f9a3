// The assignment panel: row labels, slot texts and leader lines.
#pragma once

#include <windows.h>

// Draws the eight slot texts at once over a cleared panel.
void RedrawPanel();
// Draws the ten row labels of the label model at once over the old ones.
void RedrawRowLabels();

// Paint steps: leader lines and slot texts as they stand; the row labels.
void PaintSlotRows(HDC dc);
void PaintRowLabels(HDC dc);
