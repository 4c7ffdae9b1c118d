// Scaling for the display's DPI. Every pixel figure of the program is written for
// 96 DPI, and each window scales its own to the DPI it is shown at. Portable, so
// the arithmetic is tested natively; dpi_win.h asks the system. Any thread.
#pragma once

constexpr int kDefaultDpi = 96;

// `value` at `dpi`: value x dpi / 96, rounded half away from zero as MulDiv rounds,
// so that negative font heights scale like positive sizes. 96 changes nothing.
int ScaleForDpi(int value, int dpi);

// A control's place in its window's client area.
struct LayoutBox {
    int x, y, width, height;
};

// `box` (a place at 96 DPI) at `dpi`. Its edges are scaled, not its size, so that
// controls that touched or stood apart at 96 DPI still do.
LayoutBox ScaleBoxForDpi(const LayoutBox& box, int dpi);

// Which of the image sizes `sizes` (`count` of them, ascending) to draw at `wanted`
// pixels: the smallest that is at least as large, to be scaled down, since a line
// drawing scaled up blurs; the largest when none is. 0 when there are none.
int ChooseImageSize(const int* sizes, int count, int wanted);
