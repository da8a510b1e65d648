// Decoders of still pictures into format-1 pixels at the video's levels. No decoder allocates what a
// header claims before checking it against the host's limit of decoded pixels. Each works on its own
// bytes and results only, so that several pictures decode at once on different threads.
#ifndef HX_PICTURE_DECODERS_H
#define HX_PICTURE_DECODERS_H

#include "video/video_yuv.h"

#include "image/image_blocks.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hx {

// The longer side a small copy of a photo keeps at least: enough for the tool's largest picture of it.
constexpr uint32_t kReducedSide = 480;

// Decoded pixels as stored in the file: four bytes a pixel, rows without gaps; sides may exceed
// what an image can hold. `orientation` is the EXIF orientation (1 = as stored); `note` says what
// was wrong short of failing (a broken colour profile). A small copy keeps the full decode's size
// in `fullWidth` x `fullHeight`; otherwise they are 0.
struct Raster {
    int32_t width = 0;
    int32_t height = 0;
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
    PooledBytes pixels;
    int orientation = 1;
    std::string note;
};

// JPEG: grayscale, Y Cb Cr, RGB, CMYK and YCCK; baseline and progressive. Pictures of more than
// `maxPixels` pixels are decoded at 1/2, 1/4 or 1/8 of their size when that brings them within it.
// `smallest` decodes a small copy, after the same checks: every byte read, enough to know the file is
// whole, at 1/8 of the size, or less reduced where that would leave the longer side under kReducedSide.
bool decodeJpeg(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error,
                bool smallest = false);
// PNG: gray, palette, RGB, with or without alpha (composited on black), 8 or 16 bits. Over `maxPixels`
// it is read a row at a time and reduced to 1/2, 1/4 or 1/8 as it comes (interlaced ones cannot be).
bool decodePng(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);
// HEIF (HEIC, AVIF): the primary image with its rotation, mirror and crop applied, grids assembled.
// The library decodes it whole (up to 1 GiB of samples); over `maxPixels` it is then kept reduced.
bool decodeHeif(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);
// WebP: lossy, lossless, with alpha; the first frame of an animation. Decoded at a fraction of its
// size when it has more than `maxPixels` pixels.
bool decodeWebp(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);
// TIFF: the first page; 8 or 16 bits; RGB, gray, palette, CMYK; the orientation tag in `orientation`.
// Over `maxPixels` it is read a strip at a time and reduced as it comes.
bool decodeTiff(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error);

// The reason given for a picture that cannot be brought within the limit.
std::string tooLarge(uint64_t width, uint64_t height, size_t maxPixels);

} // namespace hx

#endif
