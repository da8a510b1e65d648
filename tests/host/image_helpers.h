// Images with known pixels for the image library's tests.
#ifndef TESTS_HOST_IMAGE_HELPERS_H
#define TESTS_HOST_IMAGE_HELPERS_H

#include "host/hxopcommon.h"

#include <cstdint>
#include <vector>

struct Yuv {
    int y, u, v;
};

// A sample of noise for pixel (x, y) and channel c, so that a sample weighed at the wrong place or
// with its neighbour's weight shows.
inline int noiseSample(int x, int y, int c)
{
    return static_cast<int>((x * 7919u + y * 104729u + c * 31u) * 2654435761u >> 24);
}

// A w x h format-1 image whose pixel (x, y) has the colour pixel(x, y); key 0xFF.
template <typename Fn> OpImage* yuvImage(int w, int h, Fn pixel)
{
    OpImage* image = opAllocImage(w, h, OP_FORMAT_YUVA, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Yuv c = pixel(x, y);
            uint8_t* p = image->planes[0] + (static_cast<size_t>(y) * w + x) * 4;
            p[0] = 0xFF;
            p[1] = static_cast<uint8_t>(c.u);
            p[2] = static_cast<uint8_t>(c.v);
            p[3] = static_cast<uint8_t>(c.y);
        }
    return image;
}

// A w x h format-1 image of noise: luma, U and V of pixel (x, y) are noiseSample(x, y, c) for channels
// c = first, first + 1 and first + 2.
inline OpImage* noiseImage(int w, int h, int first = 0)
{
    return yuvImage(w, h, [first](int x, int y) { return Yuv{noiseSample(x, y, first), noiseSample(x, y, first + 1), noiseSample(x, y, first + 2)}; });
}

// The colour of pixel (x, y) of a format-1 image.
inline Yuv yuvAt(const OpImage* image, int x, int y)
{
    const uint8_t* p = image->planes[0] + (static_cast<size_t>(y) * image->width + x) * 4;
    return {p[3], p[1], p[2]};
}

// Every pixel of any format, read through a conversion of a copy to format 1.
inline std::vector<Yuv> pixelsOf(const OpImage* image)
{
    OpImage* copy = opConvertImage(opCloneImage(image, 0), OP_FORMAT_YUVA, 0);
    std::vector<Yuv> pixels;
    for (int y = 0; y < copy->height; ++y)
        for (int x = 0; x < copy->width; ++x)
            pixels.push_back(yuvAt(copy, x, y));
    opFreeImage(copy);
    return pixels;
}

constexpr uint32_t kFormats[] = {OP_FORMAT_YC_PLANAR, OP_FORMAT_YUVA, OP_FORMAT_YC_PACKED, OP_FORMAT_YUV420};

#endif
