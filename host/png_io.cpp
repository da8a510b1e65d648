#include "png_io.h"

#include <png.h>

#include <cstring>

namespace hx {

bool readPngArgb(const std::string& path, ArgbPicture& picture, size_t maxPixels, std::string* error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        if (error)
            *error = path + ": " + image.message;
        return false;
    }
    if (image.width == 0 || image.height == 0 || static_cast<size_t>(image.width) * image.height > maxPixels) {
        if (error)
            *error = path + ": picture too large";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA; // little-endian words 0xAARRGGBB
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        if (error)
            *error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.pixels = std::move(pixels);
    return true;
}

} // namespace hx
