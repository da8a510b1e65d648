#include "pixel_conversion.h"

#include "error_codes.h"
#include "stillset/log.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A converted copy of a GUI image: header and pixels of `bytesPerPixel` allocated by hand.
UgImage* convertedCopy(const UgImage* source, size_t bytesPerPixel, int headerError, int pixelError)
{
    auto* image = static_cast<UgImage*>(std::malloc(sizeof(UgImage)));
    if (!image) {
        loggerMessage(HXLOG_ALLOCATION, headerError, kGuiSource, kStillsetModule, " ");
        errno = kNoImageMemory;
        return nullptr;
    }
    *image = *source;
    image->pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(source->width) * source->height * bytesPerPixel));
    if (!image->pixels) {
        loggerMessage(HXLOG_ALLOCATION, pixelError, kGuiSource, kStillsetModule, " ");
        std::free(image);
        errno = kNoImageMemory;
        return nullptr;
    }
    return image;
}

} // namespace

void guiImageYuvToRgb(UgImage* image)
{
    if (!image || image->format == UG_FORMAT_RGB24 || !(image->format & UG_FORMAT_YUV24))
        return;
    const size_t count = static_cast<size_t>(image->width) * image->height;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = image->pixels + 3 * i;
        const uint32_t r = ugYUV2ARGBExt(static_cast<uint32_t>(p[2]) << 24 | p[1] << 16 | p[0] << 8 | 0xFF, 1);
        p[0] = static_cast<uint8_t>(r);
        p[1] = static_cast<uint8_t>(r >> 8);
        p[2] = static_cast<uint8_t>(r >> 16);
    }
    image->format = (image->format & ~static_cast<uint32_t>(UG_FORMAT_YUV24)) | UG_FORMAT_RGB24;
}

UgImage* guiImageToArgb(const UgImage* source)
{
    UgImage* image = convertedCopy(source, 4,
                                   __LINE__,  // no header
                                   __LINE__); // no pixels
    if (!image)
        return nullptr;
    const auto* in = reinterpret_cast<const uint32_t*>(source->pixels);
    auto* out = reinterpret_cast<uint32_t*>(image->pixels);
    const size_t count = static_cast<size_t>(source->width) * source->height;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = ugYUV2RGB(in[i]);
        out[i] = a >> 8 | a << 24;
    }
    image->format = (image->format & ~0x12C3u) | UG_FORMAT_ARGB;
    return image;
}

UgImage* guiImageToRgb565(const UgImage* source)
{
    UgImage* image = convertedCopy(source, 3,
                                   __LINE__,  // no header
                                   __LINE__); // no pixels
    if (!image)
        return nullptr;
    const auto* in = reinterpret_cast<const uint32_t*>(source->pixels);
    const size_t count = static_cast<size_t>(source->width) * source->height;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = ugYUV2RGB(in[i]);
        const uint32_t rgb = ((a >> 16) & 0xF800) | ((a >> 13) & 0x07E0) | ((a >> 11) & 0x001F);
        image->pixels[3 * i] = static_cast<uint8_t>(a);
        image->pixels[3 * i + 1] = static_cast<uint8_t>(rgb);
        image->pixels[3 * i + 2] = static_cast<uint8_t>(rgb >> 8);
    }
    image->format = (image->format & ~0x50C3u) | UG_FORMAT_RGB565;
    return image;
}

void rgbToYuvPixels(const uint32_t* source, int32_t sourceStrideBytes, int32_t width, int32_t height, uint32_t* target)
{
    if (!source) {
        GUI_LOG(HXLOG_FAILURE);
        return;
    }
    if (!target) {
        GUI_LOG(HXLOG_FAILURE);
        return;
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            *target++ = ugRGB2YUV(*source++);
        source += sourceStrideBytes / 4 - width;
    }
}

UgImage* resImageToYuv(const ResImage* image)
{
    if (!image) {
        errno = kNoCatalogueImage;
        GUI_LOG(HXLOG_FAILURE);
        return nullptr;
    }
    UgImage* yuv = ugAllocImage(UG_IMAGE_KIND_32, image->width, image->height);
    if (yuv)
        rgbToYuvPixels(image->pixels, image->width * 4, image->width, image->height, reinterpret_cast<uint32_t*>(yuv->pixels));
    return yuv;
}
