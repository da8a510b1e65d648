// The orientation tag of an EXIF block, read with every offset checked against the block.
#ifndef HX_EXIF_ORIENTATION_H
#define HX_EXIF_ORIENTATION_H

#include <cstddef>
#include <cstdint>

namespace hx {

// 1..8 as EXIF numbers them; 1 (as stored) when the block has no valid orientation. `data` is the
// payload of an APP1 segment, starting with "Exif\0\0".
int exifOrientation(const uint8_t* data, size_t size);

} // namespace hx

#endif
