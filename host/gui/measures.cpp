// The toolkit's measures: the screen, layout units, fonts, pixel aspects and display modes.
#include "host/hxgui.h"

#include "gui/font.h"
#include "gui/screen.h"
#include "runtime/host_state.h"
#include "video/video_standard.h"

#include <string_view>

extern "C" {

int32_t ugGetDefaultMonitor(void)
{
    hx::countCall("ugGetDefaultMonitor");
    return hx::screenConfig().monitor;
}

int32_t ugGetScreenWidth(void)
{
    hx::countCall("ugGetScreenWidth");
    return hx::screenConfig().width;
}

int32_t ugGetScreenHeight(void)
{
    hx::countCall("ugGetScreenHeight");
    return hx::screenConfig().height;
}

void ugGetVisibleArea(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom)
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

int32_t ugConvertWidth(int32_t units)
{
    hx::countCall("ugConvertWidth");
    return hx::convertWidth(units);
}

int32_t ugConvertHeight(int32_t units)
{
    hx::countCall("ugConvertHeight");
    return hx::convertHeight(units);
}

// Gadget widths are even so that two of them centre on whole pixels.
int32_t ugConvertGadgetWidth(int32_t units)
{
    hx::countCall("ugConvertGadgetWidth");
    return (hx::convertWidth(units) + 1) & ~1;
}

int32_t ugGetFontHeightMonitor(int32_t)
{
    hx::countCall("ugGetFontHeightMonitor");
    return hx::fontHeight();
}

int32_t ugGetFontHeight(void)
{
    hx::countCall("ugGetFontHeight");
    return hx::fontHeight();
}

int32_t ugGetAddHeight(void)
{
    hx::countCall("ugGetAddHeight");
    return hx::addHeight();
}

// 1: the output video's pixels, as the standard has them; 4 (and any other): the screen's square pixels.
int32_t ugGetPixelAspect(int32_t which)
{
    hx::countCall("ugGetPixelAspect");
    return which == 1 ? hx::currentStandard().pixelAspect : 1000;
}

int32_t ugGetVideoMode(void)
{
    hx::countCall("ugGetVideoMode");
    return hx::screenConfig().videoMode;
}

int32_t ugGetDVIMode(void)
{
    hx::countCall("ugGetDVIMode");
    return hx::screenConfig().dviMode;
}

int32_t ugTextLength(const hxchar* text)
{
    hx::countCall("ugTextLength");
    return text ? hx::textWidth(std::u16string_view(text)) : 0;
}

// Screen images are 32-bit ARGB here, never 5-6-5.
int32_t ugGetVGAScreenFormat(void)
{
    hx::countCall("ugGetVGAScreenFormat");
    return 1;
}

} // extern "C"
