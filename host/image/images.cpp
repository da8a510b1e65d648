// hxopcommon: allocation, release and copies of image buffers.
#include "image/images.h"

#include "image/image_blocks.h"
#include "image/reduced_copies.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "hxhost/testing.h"
#include "hxhost/video_format.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kMaxSide = 32767;

// Images still live at a reset belong to whoever received them.
hx::LiveRegistry<OpImage*>& liveImages()
{
    static hx::LiveRegistry<OpImage*> images{&hxhost::LiveCounts::images, hx::OnReset::Keep};
    return images;
}

void setPlanes(OpImage* image, uint8_t* pixels)
{
    const size_t area = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    image->planes[0] = pixels;
    image->planes[1] = nullptr;
    image->planes[2] = nullptr;
    if (!pixels)
        return;
    if (image->format == OP_FORMAT_YC_PLANAR) {
        image->planes[1] = pixels + area;
    } else if (image->format == OP_FORMAT_YUV420) {
        const size_t chroma = static_cast<size_t>(hx::halfUp(image->width)) * static_cast<size_t>(hx::halfUp(image->height));
        image->planes[1] = pixels + area;
        image->planes[2] = pixels + area + chroma;
    }
}

// Header and pixels share one block; behind the header lies the block's capacity.
struct BlockHeader {
    OpImage image;
    size_t capacity;
};
constexpr size_t kHeaderBytes = (sizeof(BlockHeader) + 63) & ~size_t(63);

// The image whose header starts `block` (of `capacity` bytes) and whose pixels, if any, follow it.
OpImage* imageInBlock(uint8_t* block, size_t capacity, int32_t width, int32_t height, uint32_t format, bool withPixels)
{
    auto* header = reinterpret_cast<BlockHeader*>(block);
    std::memset(header, 0, sizeof(BlockHeader));
    header->capacity = capacity;
    OpImage* image = &header->image;
    image->width = static_cast<int16_t>(width);
    image->height = static_cast<int16_t>(height);
    image->format = format;
    image->aspect = 1000;
    setPlanes(image, withPixels ? block + kHeaderBytes : nullptr);
    liveImages().add(image);
    return image;
}

bool sidesFit(int32_t width, int32_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

// A new image; the pixels are cleared unless the caller fills every one of them.
OpImage* allocate(int32_t width, int32_t height, uint32_t format, bool withPixels, bool cleared = true)
{
    if (!sidesFit(width, height))
        return nullptr;
    const size_t bytes = withPixels ? hx::imageBytes(width, height, format) : 0;
    if (withPixels && bytes == 0)
        return nullptr;
    size_t capacity = 0;
    auto* block = static_cast<uint8_t*>(hx::takeBlock(kHeaderBytes + bytes, &capacity));
    if (!block)
        return nullptr;
    if (withPixels && cleared)
        std::memset(block + kHeaderBytes, 0, bytes);
    return imageInBlock(block, capacity, width, height, format, withPixels);
}

void takeBack(OpImage* image)
{
    auto* header = reinterpret_cast<BlockHeader*>(image);
    hx::giveBlock(header, header->capacity);
}

} // namespace

namespace hx {

size_t imageBytes(int32_t width, int32_t height, uint32_t format)
{
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    switch (format) {
    case OP_FORMAT_YC_PLANAR:
    case OP_FORMAT_YC_PACKED:
        return area * 2;
    case OP_FORMAT_YUVA:
        return area * 4;
    case OP_FORMAT_YUV420:
        return area + 2 * static_cast<size_t>(halfUp(width)) * static_cast<size_t>(halfUp(height));
    default:
        return 0;
    }
}

int imagePlanes(const OpImage* image, Plane planes[3])
{
    const size_t w = static_cast<size_t>(image->width);
    const int32_t h = image->height;
    switch (image->format) {
    case OP_FORMAT_YC_PLANAR:
        planes[0] = {image->planes[0], w, h};
        planes[1] = {image->planes[1], w, h};
        return 2;
    case OP_FORMAT_YUVA:
        planes[0] = {image->planes[0], w * 4, h};
        return 1;
    case OP_FORMAT_YC_PACKED:
        planes[0] = {image->planes[0], w * 2, h};
        return 1;
    case OP_FORMAT_YUV420: {
        const size_t cw = static_cast<size_t>(halfUp(image->width));
        planes[0] = {image->planes[0], w, h};
        planes[1] = {image->planes[1], cw, halfUp(h)};
        planes[2] = {image->planes[2], cw, halfUp(h)};
        return 3;
    }
    default:
        return 0;
    }
}

OpImage* newImage(int32_t width, int32_t height, uint32_t format, bool cleared)
{
    return allocate(width, height, format, true, cleared);
}

OpImage* adoptPixels(PooledBytes pixels, int32_t width, int32_t height, uint32_t format)
{
    static_assert(kBytesHeadroom == kHeaderBytes, "pooled bytes leave room for exactly an image's header");
    const size_t capacity = pixels.get_deleter().capacity;
    const size_t bytes = sidesFit(width, height) ? imageBytes(width, height, format) : 0;
    if (!pixels || bytes == 0 || kHeaderBytes + bytes > capacity)
        return nullptr;
    return imageInBlock(pixels.release() - kHeaderBytes, capacity, width, height, format, true);
}

bool isLiveImage(const OpImage* image)
{
    return image && liveImages().contains(image);
}

void freeImage(OpImage* image)
{
    if (!image || !liveImages().remove(image))
        return;
    freeReducedCopies(image);
    takeBack(image);
}

} // namespace hx

extern "C" {

OpImage* opAllocImage(int32_t width, int32_t height, uint32_t format, uint32_t flags) HX_ENTRY
{
    if (hx::shouldFail("opAllocImage"))
        return nullptr;
    const hxhost::VideoFormat& video = hxhost::videoFormat();
    // Both probes answer with the host's current output picture: one field of the video frame
    // (callers double its height for the frame).
    const bool probe = (width == -1 && height == -1 && (flags & OP_ALLOC_FIELD_SIZE)) || (width == 0 && height == 0);
    if (probe) {
        width = video.width;
        height = video.height / 2;
    }
    OpImage* image = allocate(width, height, format, !(flags & OP_ALLOC_NO_PIXELS), !(flags & OP_ALLOC_FIELD_SIZE));
    // Only the probes carry the video's pixel shape; every other new picture has square pixels.
    if (image && probe)
        image->aspect = video.pixelAspect;
    return image;
}
HX_ENTRY_FAILS(nullptr)

void opFreeImage(OpImage* image) HX_ENTRY
{
    hx::countCall("opFreeImage");
    hx::freeImage(image);
}
HX_ENTRY_FAILS_VOID

OpImage* opCloneImage(const OpImage* image, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("opCloneImage") || !hx::isLiveImage(image) || !image->planes[0])
        return nullptr;
    OpImage* copy = allocate(image->width, image->height, image->format, true, false); // every byte is copied
    if (!copy)
        return nullptr;
    copy->aspect = image->aspect;
    std::memcpy(copy->planes[0], image->planes[0], hx::imageBytes(image->width, image->height, image->format));
    return copy;
}
HX_ENTRY_FAILS(nullptr)

} // extern "C"
