// Small format-1 pictures with known pixels.
#ifndef TESTS_STILLSET_PICTURE_HELPERS_H
#define TESTS_STILLSET_PICTURE_HELPERS_H

#include "host/hxopcommon.h"

#include <vector>

inline uint32_t* pixelsOf(OpImage* image)
{
    return reinterpret_cast<uint32_t*>(image->planes[0]);
}

inline uint32_t pixelAt(OpImage* image, int x, int y)
{
    return pixelsOf(image)[static_cast<size_t>(y) * image->width + x];
}

// A picture whose pixels are the given words, row after row.
inline OpImage* pictureOf(int width, int height, const std::vector<uint32_t>& words)
{
    OpImage* image = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    for (size_t i = 0; i < words.size(); ++i)
        pixelsOf(image)[i] = words[i];
    return image;
}

// A picture whose every pixel names its own position: (y << 16) | x.
inline OpImage* labelledPicture(int width, int height)
{
    std::vector<uint32_t> words;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            words.push_back(static_cast<uint32_t>(y << 16 | x));
    return pictureOf(width, height, words);
}

inline std::vector<uint32_t> wordsOf(OpImage* image)
{
    return std::vector<uint32_t>(pixelsOf(image), pixelsOf(image) + static_cast<size_t>(image->width) * image->height);
}

#endif
