#include "screen_text.h"

#include <string>

#include "app/wide_text.h"
#include "app/window_state.h"

namespace {

SIZE TextSize(HDC dc, const std::wstring& text, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size;
}

}  // namespace

int TextWidth(HWND window, const char* cp949Text, HFONT font) {
    HDC dc = GetDC(window);
    int width = TextSize(dc, WideFromCp949(cp949Text), font).cx;
    ReleaseDC(window, dc);
    return width;
}

int PixelsDifferingFromText(HWND window, int x, int y, const char* cp949Text, HFONT font,
                            COLORREF background) {
    std::wstring text = WideFromCp949(cp949Text);
    HDC screen = GetDC(window);
    SIZE size = TextSize(screen, text, font);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT cell = {0, 0, size.cx, size.cy};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &cell, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    TextOutW(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));

    int differing = 0;
    for (int row = 0; row < size.cy; ++row) {
        for (int column = 0; column < size.cx; ++column) {
            if (GetPixel(memory, column, row) != GetPixel(screen, x + column, y + row)) {
                ++differing;
            }
        }
    }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return differing;
}

int SlotTextDiffers(HWND window, int row, const char* text) {
    return PixelsDifferingFromText(window, 90, 90 + 25 * row, text, g_font12);
}

int RowLabelDiffers(HWND window, int k, const char* label) {
    std::string glyphs = label;
    glyphs.erase(glyphs.find_last_not_of(' ') + 1);
    if (glyphs.empty()) return 0;
    return PixelsDifferingFromText(window, 20, 64 + 25 * k, glyphs.c_str(), g_font13);
}
