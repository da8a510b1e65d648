// The toolkit's measures: the screen, layout units, fonts, pixel aspects and display modes.
#include "host/hxgui.h"

#include "gui/font.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/video_format.h"

#include <string_view>

extern "C" {

int32_t ugGetDefaultMonitor(void) HX_ENTRY
{
    hx::countCall("ugGetDefaultMonitor");
    return hx::screenConfig().monitor;
}
HX_ENTRY_FAILS(0)

int32_t ugGetScreenWidth(void) HX_ENTRY
{
    hx::countCall("ugGetScreenWidth");
    return hx::screenConfig().width;
}
HX_ENTRY_FAILS(0)

int32_t ugGetScreenHeight(void) HX_ENTRY
{
    hx::countCall("ugGetScreenHeight");
    return hx::screenConfig().height;
}
HX_ENTRY_FAILS(0)

void ugGetVisibleArea(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom) HX_ENTRY
{
    hx::countCall("ugGetVisibleArea");
    const hx::ScreenConfig& screen = hx::screenConfig();
    if (left)
        *left = 0;
    if (top)
        *top = 0;
    if (right)
        *right = static_cast<int16_t>(screen.width - 1);
    if (bottom)
        *bottom = static_cast<int16_t>(screen.height - 1);
}
HX_ENTRY_FAILS_VOID

int32_t ugConvertWidth(int32_t units) HX_ENTRY
{
    hx::countCall("ugConvertWidth");
    return hx::convertWidth(units);
}
HX_ENTRY_FAILS(0)

int32_t ugConvertHeight(int32_t units) HX_ENTRY
{
    hx::countCall("ugConvertHeight");
    return hx::convertHeight(units);
}
HX_ENTRY_FAILS(0)

// Gadget widths are even so that two of them centre on whole pixels.
int32_t ugConvertGadgetWidth(int32_t units) HX_ENTRY
{
    hx::countCall("ugConvertGadgetWidth");
    return (hx::convertWidth(units) + 1) & ~1;
}
HX_ENTRY_FAILS(0)

int32_t ugGetFontHeightMonitor(int32_t) HX_ENTRY
{
    hx::countCall("ugGetFontHeightMonitor");
    return hx::fontHeight();
}
HX_ENTRY_FAILS(0)

int32_t ugGetFontHeight(void) HX_ENTRY
{
    hx::countCall("ugGetFontHeight");
    return hx::fontHeight();
}
HX_ENTRY_FAILS(0)

int32_t ugGetAddHeight(void) HX_ENTRY
{
    hx::countCall("ugGetAddHeight");
    return hx::addHeight();
}
HX_ENTRY_FAILS(0)

// 1: the output video's pixels, as the standard has them; 4 (and any other): the screen's square pixels.
int32_t ugGetPixelAspect(int32_t which) HX_ENTRY
{
    hx::countCall("ugGetPixelAspect");
    return which == 1 ? hxhost::videoFormat().pixelAspect : 1000;
}
HX_ENTRY_FAILS(1000)

int32_t ugGetVideoMode(void) HX_ENTRY
{
    hx::countCall("ugGetVideoMode");
    return hx::screenConfig().videoMode;
}
HX_ENTRY_FAILS(0)

int32_t ugGetDVIMode(void) HX_ENTRY
{
    hx::countCall("ugGetDVIMode");
    return hx::screenConfig().dviMode;
}
HX_ENTRY_FAILS(0)

int32_t ugTextLength(const hxchar* text) HX_ENTRY
{
    hx::countCall("ugTextLength");
    return text ? hx::textWidth(std::u16string_view(text)) : 0;
}
HX_ENTRY_FAILS(0)

// Screen images are 32-bit ARGB here, never 5-6-5.
int32_t ugGetVGAScreenFormat(void) HX_ENTRY
{
    hx::countCall("ugGetVGAScreenFormat");
    return 1;
}
HX_ENTRY_FAILS(0)

} // extern "C"
