// Pixel conversions between the host's picture formats and the toolkit's screen formats.
#ifndef STILLSET_GUI_PIXEL_CONVERSION_H
#define STILLSET_GUI_PIXEL_CONVERSION_H

#include "host/hxgui.h"

#include <cstdint>

// In place, from YUV to RGB; an RGB or non-YUV image is left as it is.
void guiImageYuvToRgb(UgImage* image);
// The converters return a new image (ugFreeImage) or null.
UgImage* guiImageToArgb(const UgImage* image);
UgImage* guiImageToRgb565(const UgImage* image);
void rgbToYuvPixels(const uint32_t* source, int32_t sourceStrideBytes, int32_t width, int32_t height, uint32_t* target);
UgImage* resImageToYuv(const ResImage* image);

#endif
