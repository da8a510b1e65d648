#include "image/png_io.h"

#include "runtime/atomic_file.h"

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

bool writePngRgb(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                 std::string* error)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height) {
        if (error)
            *error = path + ": no picture to write";
        return false;
    }
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgb[i * 3] = static_cast<uint8_t>(pixels[i] >> 16);
        rgb[i * 3 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgb[i * 3 + 2] = static_cast<uint8_t>(pixels[i]);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
        if (error)
            *error = path + ": " + image.message;
        return false;
    }
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr)) {
        if (error)
            *error = path + ": " + image.message;
        return false;
    }
    bytes.resize(size);
    return writeFileAtomically(path, bytes, error);
}

} // namespace hx
