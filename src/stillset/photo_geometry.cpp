#include "photo_geometry.h"

#include "log.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t* row(OpImage* image, int32_t y)
{
    return reinterpret_cast<uint32_t*>(image->planes[0]) + static_cast<size_t>(y) * image->width;
}

void setCrop(PhotoEntry* photo, int32_t x, int32_t y, int32_t w, int32_t h)
{
    photo->cropX = static_cast<uint16_t>(x);
    photo->cropY = static_cast<uint16_t>(y);
    photo->cropWidth = static_cast<uint16_t>(w);
    photo->cropHeight = static_cast<uint16_t>(h);
}

} // namespace

OpImage* cropImage(OpImage* image, int16_t x, int16_t y, int16_t width, int16_t height)
{
    if (!image)
        return nullptr;
    const int32_t imageWidth = image->width, imageHeight = image->height;
    // Stored rectangles are read as signed values: keep every one of them inside the picture.
    int32_t left = x >= imageWidth || x < 0 ? 0 : x;
    int32_t top = y >= imageHeight || y < 0 ? 0 : y;
    int32_t w = width <= 0 || left + width > imageWidth ? imageWidth - left : width;
    int32_t h = height <= 0 || top + height > imageHeight ? imageHeight - top : height;
    if (left == 0 && top == 0 && w == imageWidth && h == imageHeight)
        return image;
    OpImage* cropped = opAllocImage(w, h, image->format, 0);
    if (!cropped)
        return image;
    for (int32_t i = 0; i < h; ++i)
        std::memcpy(row(cropped, i), row(image, top + i) + left, static_cast<size_t>(w) * 4);
    opFreeImage(image);
    return cropped;
}

OpImage* rotateImage(OpImage* image, int16_t angle)
{
    if (!image || (angle != 90 && angle != 180 && angle != 270))
        return image;
    const int32_t w = image->width, h = image->height;
    const bool quarter = angle != 180;
    OpImage* turned = opAllocImage(quarter ? h : w, quarter ? w : h, image->format, 0);
    if (!turned) {
        STILLSET_LOG(HXLOG_FAILURE);
        return image;
    }
    turned->aspect = 1000;
    const int32_t tw = turned->width;
    auto* out = reinterpret_cast<uint32_t*>(turned->planes[0]);
    if (angle == 180) {
        for (int32_t r = 0; r < h; ++r)
            std::reverse_copy(row(image, r), row(image, r) + w, out + static_cast<size_t>(h - 1 - r) * tw);
    } else {
        // Quarter turns go tile by tile so that reads and writes both stay in cache.
        constexpr int32_t kTile = 64;
        for (int32_t r0 = 0; r0 < h; r0 += kTile)
            for (int32_t c0 = 0; c0 < w; c0 += kTile)
                for (int32_t r = r0; r < std::min(h, r0 + kTile); ++r) {
                    const uint32_t* in = row(image, r);
                    for (int32_t c = c0; c < std::min(w, c0 + kTile); ++c) {
                        if (angle == 90) // (c, r) -> column h - 1 - r, row c
                            out[static_cast<size_t>(c) * tw + (h - 1 - r)] = in[c];
                        else // (c, r) -> column r, row w - 1 - c
                            out[static_cast<size_t>(w - 1 - c) * tw + r] = in[c];
                    }
                }
    }
    opFreeImage(image);
    return turned;
}

void mirrorImage(OpImage* image)
{
    if (!image)
        return;
    for (int32_t r = 0; r < image->height; ++r)
        std::reverse(row(image, r), row(image, r) + image->width);
}

void mapCropToTurned(PhotoEntry* photo, uint16_t width, uint16_t height)
{
    if (!photo)
        return;
    const int32_t x = photo->cropX, y = photo->cropY, w = photo->cropWidth, h = photo->cropHeight;
    switch (photo->rotation) {
    case 90: setCrop(photo, height - h - y, x, h, w); break;
    case 180: setCrop(photo, width - w - x, height - h - y, w, h); break;
    case 270: setCrop(photo, y, width - w - x, h, w); break;
    default: break;
    }
}

void mapCropFromTurned(PhotoEntry* photo, uint16_t width, uint16_t height)
{
    if (!photo)
        return;
    const int32_t x = photo->cropX, y = photo->cropY, w = photo->cropWidth, h = photo->cropHeight;
    switch (photo->rotation) {
    case 90: setCrop(photo, y, height - w - x, h, w); break;
    case 180: setCrop(photo, width - w - x, height - h - y, w, h); break;
    case 270: setCrop(photo, width - h - y, x, h, w); break;
    default: break;
    }
}
