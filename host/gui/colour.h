// Colour words of the toolkit and its palette. A YUV word is Y << 24 | V << 16 | U << 8 | key, the
// byte layout of a format-1 pixel; the key byte travels as alpha through the RGB forms.
#ifndef HX_GUI_COLOUR_H
#define HX_GUI_COLOUR_H

#include <cstdint>

namespace hx {

// BT.601 in SD, BT.709 in HD, limited range. ARGB is 0xAARRGGBB.
uint32_t yuvToArgb(uint32_t yuv);
uint32_t argbToYuv(uint32_t argb);
uint32_t blendArgb(uint32_t below, uint32_t argb); // `argb` over an opaque RGB pixel

// GUI colours by number (0xRRGGBB); numbers outside the palette give colour 0.
uint32_t guiColour(int32_t number);

enum GuiColour : int32_t {
    kColourWindow = 0,
    kColourText = 1,
    kColourWell = 2, // background pen 2: behind pictures
    kColourLight = 3,
    kColourDark = 4,
    kColourPanel = 5,
    kColourDimText = 6,
    kColourButton = 7,
    kColourButtonTop = 8,
    kColourSelection = 9,
    kColourSelectedText = 10,
    kColourAccent = 11,
    kColourTrack = 12,
    kColourSeparator = 13,
    kColourTitleBar = 14,
    kColourTitleText = 15,
    kColourDesktop = 16,
    kColourFocus = 17,
    kColourListBackground = 18,
    kColourEmptyCell = 19, // a cell or picture that cannot be drawn
    kColourCount = 20
};

} // namespace hx

#endif
