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

} // namespace hx

#endif
