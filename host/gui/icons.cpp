// Scaling the toolkit's icons (resource images) with their alpha.
#include "gui/model.h"

#include "image/scaling.h"

#include <algorithm>

namespace hx {

Icon scaledIcon(const Icon& icon, int32_t width, int32_t height)
{
    if (icon.empty() || width <= 0 || height <= 0)
        return {};
    if (width == icon.width && height == icon.height)
        return icon;
    std::vector<uint32_t> premultiplied(icon.pixels.size());
    for (size_t i = 0; i < icon.pixels.size(); ++i) {
        const uint32_t p = icon.pixels[i], a = p >> 24;
        uint32_t out = a << 24;
        for (int shift = 0; shift <= 16; shift += 8)
            out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
        premultiplied[i] = out;
    }
    Icon scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.resize(static_cast<size_t>(width) * height);
    scaleFourBytePixels(reinterpret_cast<const uint8_t*>(premultiplied.data()), icon.width, icon.height,
                        reinterpret_cast<uint8_t*>(scaled.pixels.data()), width, height);
    for (uint32_t& p : scaled.pixels) {
        const uint32_t a = p >> 24;
        if (a == 0) {
            p = 0;
            continue;
        }
        uint32_t out = a << 24;
        for (int shift = 0; shift <= 16; shift += 8)
            out |= std::min<uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a) << shift;
        p = out;
    }
    return scaled;
}

Icon fittedIcon(const Icon& icon, int32_t width, int32_t height)
{
    if (icon.empty() || (icon.width <= width && icon.height <= height))
        return icon;
    const double scale = std::min(static_cast<double>(width) / icon.width, static_cast<double>(height) / icon.height);
    return scaledIcon(icon, std::max(1, static_cast<int32_t>(icon.width * scale)),
                      std::max(1, static_cast<int32_t>(icon.height * scale)));
}

} // namespace hx
