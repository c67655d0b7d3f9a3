#include "app/panel.h"

#include "app/wide_text.h"
#include "app/window_state.h"

namespace {

constexpr int SLOT_TEXT_LEFT = 90;
constexpr int LEADER_END = 280;
constexpr int ROW_LABEL_LEFT = 20;
constexpr COLORREF LEADER_COLOUR = RGB(225, 225, 225);
constexpr RECT CLEARED_AREA = {90, 90, 280, 277};

int SlotTextTop(int row) {
    return 90 + 25 * row;
}
int LeaderY(int row) {
    return 95 + 25 * row;
}
int RowLabelTop(int k) {
    return 64 + 25 * k;
}

void DrawText949(HDC dc, int x, int y, const char* text) {
    std::wstring wide = WideFromCp949(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void DrawLeaderLines(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 1, LEADER_COLOUR);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int row = 0; row < SLOT_COUNT; ++row) {
        MoveToEx(dc, SLOT_TEXT_LEFT, LeaderY(row), nullptr);
        LineTo(dc, LEADER_END, LeaderY(row));
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawSlotTexts(HDC dc) {
    SetBkMode(dc, OPAQUE);
    HGDIOBJ oldFont = SelectObject(dc, g_font12);
    for (int row = 0; row < SLOT_COUNT; ++row) {
        DrawText949(dc, SLOT_TEXT_LEFT, SlotTextTop(row), g_slotTexts[row]);
    }
    SelectObject(dc, oldFont);
}

void DrawRowLabels(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, g_font13);
    for (int k = 0; k < ROW_LABEL_COUNT; ++k) {
        DrawText949(dc, ROW_LABEL_LEFT, RowLabelTop(k), RowLabel(g_labelModelId, k));
    }
    SelectObject(dc, oldFont);
}

}  // namespace

void RedrawPanel() {
    HDC dc = GetDC(g_mainWindow);
    FillRect(dc, &CLEARED_AREA, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawLeaderLines(dc);
    DrawSlotTexts(dc);
    ReleaseDC(g_mainWindow, dc);
}

void RedrawRowLabels() {
    HDC dc = GetDC(g_mainWindow);
    DrawRowLabels(dc);
    ReleaseDC(g_mainWindow, dc);
}

void PaintSlotRows(HDC dc) {
    DrawLeaderLines(dc);
    DrawSlotTexts(dc);
}

void PaintRowLabels(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    DrawRowLabels(dc);
}
