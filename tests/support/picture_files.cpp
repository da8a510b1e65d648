#include "support/picture_files.h"

#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <png.h>
#include <stdexcept>
#include <vector>

namespace {

// "Exif\0\0" and a little-endian TIFF block with one entry: the orientation.
// A little-endian block with one entry: the orientation, a SHORT or a 32-bit value of `type`.
std::vector<uint8_t> exifBlock(int orientation, int type)
{
    const auto value = static_cast<uint32_t>(orientation);
    const uint8_t high = type == 3 ? 0 : static_cast<uint8_t>(value >> 16);
    const uint8_t top = type == 3 ? 0 : static_cast<uint8_t>(value >> 24);
    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                  0x12, 0x01, static_cast<uint8_t>(type), 0, 1, 0, 0, 0,
                                  static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), high, top, 0, 0, 0, 0};
    return block;
}

} // namespace

void writeJpeg(const std::string& path, int width, int height, const JpegOptions& options,
               const std::function<void(int, int, uint8_t*)>& pixel, const std::string& iccProfile)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = options.components;
    cinfo.in_color_space = options.components == 1 ? JCS_GRAYSCALE : options.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (options.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (options.exifOrientation) {
        const std::vector<uint8_t> exif = exifBlock(options.exifOrientation, options.exifType);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    if (!iccProfile.empty())
        jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(iccProfile.data()),
                               static_cast<unsigned>(iccProfile.size()));
    std::vector<uint8_t> row(static_cast<size_t>(width * options.components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, static_cast<int>(cinfo.next_scanline), &row[static_cast<size_t>(x * options.components)]);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

void writePng(const std::string& path, int width, int height, uint32_t format, const std::string& pixels,
              const std::string& colourMap)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colourMap.size() / 3);
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, colourMap.empty() ? nullptr : colourMap.data()))
        throw std::runtime_error("cannot write " + path + ": " + image.message);
}
