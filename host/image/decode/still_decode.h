// Still pictures decoded for the scene bin: oriented for display and fitted to what an image holds.
#ifndef HX_STILL_DECODE_H
#define HX_STILL_DECODE_H

#include "image/image_blocks.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hx {

// Format-1 pixels, rows without gaps, at most 32767 a side.
struct Still {
    int32_t width = 0;
    int32_t height = 0;
    PooledBytes pixels;
    size_t bytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

// JPEG or PNG, told apart by their signatures; null with a one-line reason on failure.
std::shared_ptr<const Still> decodeStill(const std::string& path, bool highDefinition, std::string* error);

} // namespace hx

#endif
