// Drawing calls of the program: refresh, colour fills, frames and backgrounds.
#include "host/hxgui.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/gadget_look.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

namespace {

uint32_t& penYuv()
{
    static uint32_t pen = 0x108080FF;
    return pen;
}

enum BoxStyle : int32_t { kBoxPanel = 4, kBoxImage = 11 };

} // namespace

extern "C" {

void ugDisableRefresh(int32_t) HX_ENTRY
{
    hx::countCall("ugDisableRefresh");
    hx::disableRefresh();
}
HX_ENTRY_FAILS_VOID

void ugEnableRefresh(int32_t) HX_ENTRY
{
    hx::countCall("ugEnableRefresh");
    if (hx::enableRefresh())
        hx::paintDirtyGadgets();
}
HX_ENTRY_FAILS_VOID

void ugSetColorYUV(uint32_t colour) HX_ENTRY
{
    hx::countCall("ugSetColorYUV");
    penYuv() = colour;
}
HX_ENTRY_FAILS_VOID

void ugRectFill(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1) HX_ENTRY
{
    hx::countCall("ugRectFill");
    if (const auto canvas = hx::drawingTarget(window)) {
        canvas->fill({x0, y0, x1, y1}, hx::yuvToArgb(penYuv()));
        hx::screenChanged();
    }
}
HX_ENTRY_FAILS_VOID

// Style 4 is a raised panel, 11 the sunken four-pixel frame around a picture; `fill`, when not 0, is
// the pen the inside is cleared to.
void ugDrawBoxNew(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t style, int32_t fill,
                  int32_t, int32_t) HX_ENTRY
{
    hx::countCall("ugDrawBoxNew");
    const auto canvas = hx::drawingTarget(window);
    if (!canvas || x1 < x0 || y1 < y0)
        return;
    const hx::Rect box{x0, y0, x1, y1};
    const uint32_t light = hx::guiColour(hx::kColourLight), dark = hx::guiColour(hx::kColourDark);
    int32_t border = 1;
    if (style == kBoxPanel) {
        border = 2;
        canvas->frame(box, light, dark, border);
    } else if (style == kBoxImage) {
        border = 4;
        canvas->frame(box, dark, light, 1);
        const uint32_t well = hx::guiColour(hx::kColourWell);
        canvas->frame({x0 + 1, y0 + 1, x1 - 1, y1 - 1}, well, well, border - 1);
    } else {
        canvas->frame(box, light, dark, border);
    }
    if (fill)
        canvas->fill({x0 + border, y0 + border, x1 - border, y1 - border}, hx::guiColour(fill));
    hx::screenChanged();
}
HX_ENTRY_FAILS_VOID

void ugFillBackground(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t pen, int32_t) HX_ENTRY
{
    hx::countCall("ugFillBackground");
    if (const auto canvas = hx::drawingTarget(window)) {
        canvas->fill({x0, y0, x1, y1}, hx::guiColour(pen));
        hx::screenChanged();
    }
}
HX_ENTRY_FAILS_VOID

} // extern "C"
