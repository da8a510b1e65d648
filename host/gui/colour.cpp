// The toolkit's colour conversions and palette, and their C entry points.
#include "gui/colour.h"

#include "host/hxgui.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/video_format.h"

#include <algorithm>
#include <cmath>

namespace {

struct Matrix {
    double kr, kb; // luma weights of red and blue
};

Matrix currentMatrix()
{
    return hxhost::videoFormat().highDefinition ? Matrix{0.2126, 0.0722} : Matrix{0.299, 0.114};
}

uint32_t clampByte(double value)
{
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The palette, dark like a video editor's, so that pictures stand out.
constexpr uint32_t kPalette[hx::kColourCount] = {
    0x2C2E32, // window
    0xE6E7E9, // text
    0x16171A, // well
    0x686C74, // light edge
    0x101113, // dark edge
    0x383B40, // panel
    0x8C8F96, // dimmed text
    0x4E525A, // button
    0x5E636C, // button top
    0x2E74C4, // selection
    0xFFFFFF, // selected text
    0x58AAFA, // accent
    0x1E1F23, // slider track
    0x42464E, // separator
    0x24262A, // title bar
    0xF0F0F2, // title text
    0x121316, // desktop
    0x468CDC, // focus
    0x202226, // list background
    0x54565C, // empty cell
};

} // namespace

namespace hx {

uint32_t yuvToArgb(uint32_t yuv)
{
    const Matrix m = currentMatrix();
    const double y = ((yuv >> 24) - 16.0) * 255.0 / 219.0;
    const double cr = (((yuv >> 16) & 0xFF) - 128.0) * 255.0 / 224.0;
    const double cb = (((yuv >> 8) & 0xFF) - 128.0) * 255.0 / 224.0;
    const double kg = 1.0 - m.kr - m.kb;
    const double r = y + 2.0 * (1.0 - m.kr) * cr;
    const double b = y + 2.0 * (1.0 - m.kb) * cb;
    const double g = (y - m.kr * r - m.kb * b) / kg;
    return (yuv & 0xFF) << 24 | clampByte(r) << 16 | clampByte(g) << 8 | clampByte(b);
}

uint32_t argbToYuv(uint32_t argb)
{
    const Matrix m = currentMatrix();
    const double r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const double y = m.kr * r + (1.0 - m.kr - m.kb) * g + m.kb * b;
    const double cb = (b - y) / (2.0 * (1.0 - m.kb));
    const double cr = (r - y) / (2.0 * (1.0 - m.kr));
    return clampByte(16.0 + y * 219.0 / 255.0) << 24 | clampByte(128.0 + cr * 224.0 / 255.0) << 16 |
           clampByte(128.0 + cb * 224.0 / 255.0) << 8 | (argb >> 24);
}

uint32_t blendArgb(uint32_t below, uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    if (alpha == 255)
        return argb & 0xFFFFFF;
    if (alpha == 0)
        return below & 0xFFFFFF;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t top = (argb >> shift) & 0xFF, bottom = (below >> shift) & 0xFF;
        out |= ((top * alpha + bottom * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

uint32_t guiColour(int32_t number)
{
    return kPalette[number >= 0 && number < kColourCount ? number : 0];
}

} // namespace hx

extern "C" {

uint32_t ugYUV2RGB(uint32_t yuv) HX_ENTRY
{
    hx::countCall("ugYUV2RGB");
    const uint32_t argb = hx::yuvToArgb(yuv);
    return (argb & 0xFFFFFF) << 8 | argb >> 24; // R, G, B from the top byte down, key in the low byte
}
HX_ENTRY_FAILS(0)

uint32_t ugRGB2YUV(uint32_t rgb) HX_ENTRY
{
    hx::countCall("ugRGB2YUV");
    return hx::argbToYuv(rgb);
}
HX_ENTRY_FAILS(0)

uint32_t ugYUV2ARGBExt(uint32_t yuv, int32_t mode) HX_ENTRY
{
    hx::countCall("ugYUV2ARGBExt");
    const uint32_t argb = hx::yuvToArgb(yuv);
    // Mode 0 makes the result opaque whatever the key; any other mode keeps the key as alpha.
    return mode == 0 ? argb | 0xFF000000u : argb;
}
HX_ENTRY_FAILS(0)

uint32_t ugGetNewGuiColorYUV(int32_t number) HX_ENTRY
{
    hx::countCall("ugGetNewGuiColorYUV");
    return hx::argbToYuv(0xFF000000u | hx::guiColour(number));
}
HX_ENTRY_FAILS(0)

} // extern "C"
