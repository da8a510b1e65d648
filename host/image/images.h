// The host's side of image buffers: allocation with the standard's size probes and bookkeeping.
#ifndef HX_IMAGES_H
#define HX_IMAGES_H

#include "host/hxopcommon.h"
#include "image/image_blocks.h"

#include <cstddef>

namespace hx {

// Bytes of pixel storage of a width x height image of `format`; 0 for unknown formats.
size_t imageBytes(int32_t width, int32_t height, uint32_t format);
// A new image without fault injection or size probes (the host's own allocations).
OpImage* newImage(int32_t width, int32_t height, uint32_t format, bool cleared = true); // uncleared: the caller fills every pixel
// An image of the pixels, which it takes over without a copy; they hold at least a width x height
// picture of `format`. Null (and the pixels released) when they do not.
OpImage* adoptPixels(PooledBytes pixels, int32_t width, int32_t height, uint32_t format);
bool isLiveImage(const OpImage* image);
void freeImage(OpImage* image);

// Chroma samples along one side of a format-7 image of `size` luma samples.
inline int32_t halfUp(int32_t size)
{
    return (size + 1) / 2;
}

// Rows of bytes of one plane of an image.
struct Plane {
    uint8_t* data = nullptr;
    size_t rowBytes = 0;
    int32_t rows = 0;
};

// Scales source into target's size; both of one known format. The host's own use: no fault injection.
void scaleInto(const OpImage* source, OpImage* target);

// The planes of an image of a known format, luma (or packed pixels) first; the count, 0 for others.
int imagePlanes(const OpImage* image, Plane planes[3]);

} // namespace hx

#endif
