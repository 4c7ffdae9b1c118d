#include "base/dpi.h"

int ScaleForDpi(int value, int dpi) {
    long long product = (long long)value * dpi;
    long long half = kDefaultDpi / 2;
    return (int)(product >= 0 ? (product + half) / kDefaultDpi : (product - half) / kDefaultDpi);
}

LayoutBox ScaleBoxForDpi(const LayoutBox& box, int dpi) {
    int left = ScaleForDpi(box.x, dpi);
    int top = ScaleForDpi(box.y, dpi);
    return {left, top, ScaleForDpi(box.x + box.width, dpi) - left, ScaleForDpi(box.y + box.height, dpi) - top};
}

int ChooseImageSize(const int* sizes, int count, int wanted) {
    if (!sizes || count <= 0) return 0;
    for (int i = 0; i < count; ++i)
        if (sizes[i] >= wanted) return sizes[i];
    return sizes[count - 1];
}
