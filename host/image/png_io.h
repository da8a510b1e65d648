// PNG files through libpng.
#ifndef HX_PNG_IO_H
#define HX_PNG_IO_H

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

struct ArgbPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows without gaps
};

// Refuses pictures with more than `maxPixels` pixels before allocating them.
bool readPngArgb(const std::string& path, ArgbPicture& picture, size_t maxPixels, std::string* error);
// An opaque RGB PNG of 0x00RRGGBB pixels, replacing the file atomically.
bool writePngRgb(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                 std::string* error);

} // namespace hx

#endif
