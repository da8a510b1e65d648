// Pictures of the host saved for people to look at: RGB PNG files at the picture's display aspect.
#include "hxhost/hxhost.h"

#include "atomic_file.h"
#include "host/hxopcommon.h"
#include "images.h"
#include "video_standard.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct YuvToRgb {
    double rv, gu, gv, bu;
};

// Limited-range luma and chroma of the standard's matrix.
YuvToRgb matrixOf(bool highDefinition)
{
    return highDefinition ? YuvToRgb{1.793, -0.213, -0.533, 2.112} : YuvToRgb{1.596, -0.392, -0.813, 2.017};
}

uint8_t toByte(double value)
{
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void pngFlush(png_structp) {}

bool encodePng(int width, int height, const std::vector<uint8_t>& rgb, std::string& bytes)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * width * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

namespace hxhost {

bool writeImagePng(const OpImage* image, const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!hx::isLiveImage(image) || image->format != OP_FORMAT_YUVA || !image->planes[0])
        return fail("not a four-byte YUV picture");
    // Non-square pixels are shown as wide as they look.
    const int displayWidth = std::max(1, static_cast<int>(std::lround(image->width * (image->aspect ? image->aspect : 1000) / 1000.0)));
    OpImage* shown = const_cast<OpImage*>(image);
    OpImage* resized = nullptr;
    if (displayWidth != image->width) {
        resized = hx::newImage(displayWidth, image->height, OP_FORMAT_YUVA);
        if (!resized || opScaleImage(image, resized, 0) != 0) {
            hx::freeImage(resized);
            return fail("cannot resize the picture to its display aspect");
        }
        shown = resized;
    }
    const YuvToRgb m = matrixOf(hx::currentStandard().highDefinition);
    const size_t count = static_cast<size_t>(shown->width) * shown->height;
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = shown->planes[0] + 4 * i;
        const double y = 1.164 * (p[3] - 16), u = p[1] - 128.0, v = p[2] - 128.0;
        rgb[3 * i] = toByte(y + m.rv * v);
        rgb[3 * i + 1] = toByte(y + m.gu * u + m.gv * v);
        rgb[3 * i + 2] = toByte(y + m.bu * u);
    }
    const int width = shown->width, height = shown->height;
    hx::freeImage(resized);
    std::string bytes;
    if (!encodePng(width, height, rgb, bytes))
        return fail("cannot encode " + path);
    return hx::writeFileAtomically(path, bytes, error);
}

} // namespace hxhost
