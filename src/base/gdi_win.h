// Small GDI helpers shared by the owner-drawn windows. Each creates what it
// draws with for the call and deletes it before returning.
#pragma once
#include <windows.h>

// Fills `rect` on `dc` with a solid colour.
void FillSolidRect(HDC dc, const RECT* rect, COLORREF colour);

// Outlines `rect` on `dc` with a solid line of `width` pixels, drawn inside it.
void DrawFrame(HDC dc, const RECT* rect, COLORREF colour, int width);
