// PNG through libpng's simplified reader: every PNG type comes out as 8-bit RGB, with alpha
// composited on black, the colour of video black behind a picture.
#include "image/decode/picture_decoders.h"

#include <cstring>
#include <new>
#include <png.h>

namespace hx {

bool decodePng(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = std::string("corrupt PNG: ") + image.message;
        return false;
    }
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    if (pixels == 0 || pixels > maxPixels) {
        error = "picture too large: " + std::to_string(image.width) + "x" + std::to_string(image.height);
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[pixels * 3]);
    raster.pixels = takeBytes(pixels * 4);
    if (!rgb || !raster.pixels) {
        error = "no memory for a picture of " + std::to_string(image.width) + "x" + std::to_string(image.height);
        png_image_free(&image);
        raster.pixels.reset();
        return false;
    }
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, rgb.get(), 0, nullptr)) {
        error = std::string("corrupt or truncated PNG: ") + image.message;
        png_image_free(&image);
        raster.pixels.reset();
        return false;
    }
    yuv.fromRgb(rgb.get(), raster.pixels.get(), pixels);
    raster.width = static_cast<int32_t>(image.width);
    raster.height = static_cast<int32_t>(image.height);
    raster.orientation = 1;
    return true;
}

} // namespace hx
