#include "preview_fit.h"

#include "layout_units.h"
#include "main_window.h"
#include "stillset/output_frame.h"

#include "host/hxopcommon.h"

VisibleArea visibleArea()
{
    int16_t L = 0, T = 0, R = 0, B = 0;
    ugGetVisibleArea(&L, &T, &R, &B);
    return {R - L + 1, B - T + 1};
}

PreviewSize fitPreview(int32_t wmax, int32_t hmax)
{
    outputFrameKnown();
    PreviewSize size{frameWidth, frameHeight};
    opCalcDims(&size.width, &size.height, frameAspect, wmax, hmax, ugGetPixelAspect(4), 4);
    return size;
}

ScreenRect framePreview(UgWindow* window, PreviewSize size)
{
    const int32_t inset = CW(6) + 6, top = CW(6) + 2;
    ugDrawBoxNew(window, inset - 4, top, inset + size.width + 3, top + size.height + 7, 11, 0, 0, 0);
    return {static_cast<int16_t>(inset), static_cast<int16_t>(inset), size.width, size.height};
}
