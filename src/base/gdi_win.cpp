#include "base/gdi_win.h"

#include "base/guards_win.h"

void FillSolidRect(HDC dc, const RECT* rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    AutoDeleteObject owner(brush);
    FillRect(dc, rect, brush);
}
