// The host's side of image buffers: allocation with the standard's size probes and bookkeeping.
#ifndef HX_IMAGES_H
#define HX_IMAGES_H

#include "host/hxopcommon.h"

#include <cstddef>

namespace hx {

// Bytes of pixel storage of a width x height image of `format`; 0 for unknown formats.
size_t imageBytes(int32_t width, int32_t height, uint32_t format);
// A new image without fault injection or size probes (the host's own allocations).
OpImage* newImage(int32_t width, int32_t height, uint32_t format);
bool isLiveImage(const OpImage* image);
void freeImage(OpImage* image);

} // namespace hx

#endif
