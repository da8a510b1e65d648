// GUI images and resource images: allocation, drawing in every format, scaled resource images and
// the host GUI's own image catalogue.
#include "host/hxgui.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/model.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/install_paths.h"
#include "runtime/live_registry.h"
#include "text/resource_catalogues.h"
#include "hxhost/testing.h"

#include <cstdlib>
#include <new>

namespace {

constexpr int32_t kMaxSide = 8192;
constexpr int32_t kHostGuiImages = 669; // the catalogue number of the host GUI's own images

void releaseImage(UgImage* image)
{
    std::free(image->pixels);
    delete image;
}

hx::LiveRegistry<UgImage*>& liveImages()
{
    static hx::LiveRegistry<UgImage*> images{&hxhost::LiveCounts::guiImages, hx::OnReset::Release, releaseImage};
    return images;
}

// The pixel at (x, y) of a GUI image as 0xAARRGGBB; the key byte of YUV and 5-6-5 pixels is alpha.
uint32_t argbAt(const UgImage& image, int32_t x, int32_t y)
{
    const size_t index = static_cast<size_t>(y) * image.width + x;
    const uint32_t format = image.format;
    if (format & UG_FORMAT_ARGB)
        return reinterpret_cast<const uint32_t*>(image.pixels)[index];
    if (format & UG_FORMAT_YUV32)
        return hx::yuvToArgb(reinterpret_cast<const uint32_t*>(image.pixels)[index]);
    const uint8_t* p = image.pixels + index * 3;
    if (format & UG_FORMAT_RGB565) {
        const uint32_t v = p[1] | p[2] << 8;
        const uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
        return static_cast<uint32_t>(p[0]) << 24 | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
    }
    if (format & UG_FORMAT_RGB24)
        return 0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    return hx::yuvToArgb(static_cast<uint32_t>(p[2]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                         static_cast<uint32_t>(p[0]) << 8 | 0xFF);
}

bool drawable(uint32_t format)
{
    return format & (UG_FORMAT_ARGB | UG_FORMAT_YUV32 | UG_FORMAT_RGB565 | UG_FORMAT_RGB24 | UG_FORMAT_YUV24);
}

struct HostGuiCatalogue {
    std::string loadedFrom;
    std::unique_ptr<ResImages> images;
};

} // namespace

extern "C" {

UgImage* ugAllocImage(int32_t kind, int32_t width, int32_t height) HX_ENTRY
{
    if (hx::shouldFail("ugAllocImage") || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    if (kind != UG_IMAGE_KIND_YUV24 && kind != UG_IMAGE_KIND_32)
        return nullptr;
    const size_t bytes = static_cast<size_t>(width) * height * (kind == UG_IMAGE_KIND_32 ? 4 : 3);
    auto* image = new (std::nothrow) UgImage{};
    uint8_t* pixels = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!image || !pixels) {
        delete image;
        std::free(pixels);
        return nullptr;
    }
    image->reserved0 = static_cast<uint32_t>(kind);
    image->width = static_cast<uint16_t>(width);
    image->height = static_cast<uint16_t>(height);
    image->pixels = pixels;
    image->format = kind == UG_IMAGE_KIND_32 ? UG_FORMAT_YUV32 : UG_FORMAT_YUV24;
    liveImages().add(image);
    return image;
}
HX_ENTRY_FAILS(nullptr)

void ugFreeImage(UgImage* image) HX_ENTRY
{
    hx::countCall("ugFreeImage");
    if (!image || !liveImages().remove(image))
        return;
    releaseImage(image);
}
HX_ENTRY_FAILS_VOID

void ugWriteImage(UgWindow* window, const UgImage* image, int32_t x, int32_t y) HX_ENTRY
{
    hx::countCall("ugWriteImage");
    const auto canvas = hx::drawingTarget(window);
    // Programs may make GUI image records of their own (header and pixels from malloc), so any
    // record with pixels in a known format is drawn, not only those from ugAllocImage.
    if (!canvas || !image || !image->pixels || !drawable(image->format))
        return;
    for (int32_t row = 0; row < image->height; ++row)
        for (int32_t col = 0; col < image->width; ++col)
            canvas->blend(x + col, y + row, argbAt(*image, col, row));
    hx::screenChanged();
}
HX_ENTRY_FAILS_VOID

void ugWriteResImage(UgWindow* window, const ResImage* image, int32_t x, int32_t y) HX_ENTRY
{
    hx::countCall("ugWriteResImage");
    const auto canvas = hx::drawingTarget(window);
    if (!canvas || !image || !image->pixels)
        return;
    for (int32_t row = 0; row < image->height; ++row)
        for (int32_t col = 0; col < image->width; ++col)
            canvas->blend(x + col, y + row, image->pixels[static_cast<size_t>(row) * image->width + col]);
    hx::screenChanged();
}
HX_ENTRY_FAILS_VOID

// Width or height 0 keeps the image's proportions; the copy belongs to the catalogue.
ResImage* ugGetScaledResImage2(ResImages* catalogue, int32_t number, int32_t width, int32_t height, int32_t) HX_ENTRY
{
    if (hx::shouldFail("ugGetScaledResImage2") || !catalogue || width < 0 || height < 0 || width > kMaxSide ||
        height > kMaxSide)
        return nullptr;
    const ResImage* original = resGetImage(catalogue, number);
    if (!original || original->width == 0 || original->height == 0)
        return nullptr;
    if (width == 0 && height == 0)
        return const_cast<ResImage*>(original);
    if (width == 0)
        width = std::max(1, (original->width * height + original->height / 2) / original->height);
    if (height == 0)
        height = std::max(1, (original->height * width + original->width / 2) / original->width);
    const auto key = std::make_tuple(number, width, height);
    auto found = catalogue->scaled.find(key);
    if (found != catalogue->scaled.end())
        return &found->second.image;
    hx::Icon scaled = hx::scaledIcon(hx::copyIcon(original), width, height);
    return ResImages::store(catalogue->scaled[key], width, height, std::move(scaled.pixels));
}
HX_ENTRY_FAILS(nullptr)

ResImages* ugGetGuiResource(int32_t number, int32_t, int32_t) HX_ENTRY
{
    hx::countCall("ugGetGuiResource");
    if (number != kHostGuiImages)
        return nullptr;
    static HostGuiCatalogue catalogue;
    const std::string root = hx::resourceRoot();
    if (!catalogue.images || catalogue.loadedFrom != root) {
        catalogue.images = hx::loadImageCatalogue("hostgui");
        catalogue.loadedFrom = root;
    }
    return catalogue.images.get();
}
HX_ENTRY_FAILS(nullptr)

} // extern "C"
