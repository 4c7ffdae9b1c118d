#include "base/gdi_win.h"

#include "base/guards_win.h"

void FillSolidRect(HDC dc, const RECT* rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    AutoDeleteObject owner(brush);
    FillRect(dc, rect, brush);
}

void DrawFrame(HDC dc, const RECT* rect, COLORREF colour, int width) {
    HPEN pen = CreatePen(PS_INSIDEFRAME, width, colour);
    AutoDeleteObject penOwner(pen);
    ScopedSelectObject penSelection(dc, pen);
    ScopedSelectObject brushSelection(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
}
