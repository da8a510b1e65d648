// Decoders of still pictures into format-1 pixels at the video's levels. No decoder allocates what a
// header claims before checking it against the host's limit of decoded pixels.
#ifndef HX_PICTURE_DECODERS_H
#define HX_PICTURE_DECODERS_H

#include "video/video_yuv.h"

#include "image/image_blocks.h"

#include <memory>
#include <string>

namespace hx {

// Decoded pixels as stored in the file: four bytes a pixel, rows without gaps; sides may exceed
// what an image can hold. `orientation` is the EXIF orientation (1 = as stored).
struct Raster {
    int32_t width = 0;
    int32_t height = 0;
    PooledBytes pixels;
    int orientation = 1;
};

// JPEG: grayscale, Y Cb Cr, RGB, CMYK and YCCK; baseline and progressive. Pictures of more than
// `maxPixels` pixels are decoded at 1/2, 1/4 or 1/8 of their size when that brings them within it.
bool decodeJpeg(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);
// PNG: gray, palette, RGB, with or without alpha (composited on black), 8 or 16 bits.
bool decodePng(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);

} // namespace hx

#endif
