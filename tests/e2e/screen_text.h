// Compares what the window shows with a text drawn the same way off screen.
#pragma once

#include <windows.h>

// The number of pixels in the text's cell at (x, y) of the window's client
// area that differ from the text drawn off screen in black on the background
// with this font: 0 when the window shows exactly that text there.
int PixelsDifferingFromText(HWND window, int x, int y, const char* cp949Text, HFONT font,
                            COLORREF background = RGB(255, 255, 255));

// The width in pixels of the text in this font.
int TextWidth(HWND window, const char* cp949Text, HFONT font);

// The same for the assignment panel: the slot text of row 0 to 7 in the
// 12-pixel font, and the glyphs of row label k (0 to 9, its trailing blanks
// left out) in the 13-pixel font.
int SlotTextDiffers(HWND window, int row, const char* text);
int RowLabelDiffers(HWND window, int k, const char* label);
