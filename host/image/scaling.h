// The host's filtered scaler of four-byte pixels, shared by the image library and the toolkit.
#ifndef HX_SCALING_H
#define HX_SCALING_H

#include <cstdint>

namespace hx {

// Shrinking averages the source area under each target pixel; enlarging interpolates linearly.
void scaleFourBytePixels(const uint8_t* source, int32_t sourceWidth, int32_t sourceHeight, uint8_t* target,
                         int32_t targetWidth, int32_t targetHeight);

} // namespace hx

#endif
