#include "image/decode/still_decode.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "image/decode/decode_counts.h"
#include "image/decode/picture_decoders.h"
#include "image/decode/picture_kind.h"
#include "host/hxlog.h"
#include "image/resampler.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr size_t kMaxFileBytes = 512u << 20;
constexpr int32_t kMaxSide = 32767;

// A picture's sides brought within kMaxSide, keeping its shape.
void fitSides(int32_t& width, int32_t& height)
{
    const int32_t longest = std::max(width, height);
    if (longest <= kMaxSide)
        return;
    const double ratio = static_cast<double>(longest) / kMaxSide;
    const auto fitted = [&](int32_t side) {
        return std::clamp(static_cast<int32_t>(side / ratio + 0.5), 1, kMaxSide);
    };
    width = fitted(width);
    height = fitted(height);
}

// Shrinks a raster with a side beyond kMaxSide to fit, keeping its shape.
bool fitToImageSize(hx::Raster& raster)
{
    int32_t width = raster.width, height = raster.height;
    fitSides(width, height);
    if (width == raster.width && height == raster.height)
        return true;
    hx::PooledBytes pixels = hx::takeBytes(static_cast<size_t>(width) * height * 4);
    if (!pixels)
        return false;
    hx::PlaneScale plane;
    plane.source = raster.pixels.get();
    plane.sourceRowBytes = static_cast<size_t>(raster.width) * 4;
    plane.sourceRows = raster.height;
    plane.target = pixels.get();
    plane.targetRowBytes = static_cast<size_t>(width) * 4;
    plane.targetRows = height;
    plane.rowRatio = static_cast<double>(raster.height) / height;
    plane.channels = {{{0, 4, raster.width}, {0, 4, width}, static_cast<double>(raster.width) / width, 4}};
    hx::resamplePlane(plane);
    raster.width = width;
    raster.height = height;
    raster.pixels = std::move(pixels);
    return true;
}

// The still as EXIF orientation `raster.orientation` says it is seen.
std::unique_ptr<hx::Still> orient(hx::Raster& raster)
{
    auto still = std::make_unique<hx::Still>();
    const ptrdiff_t w = raster.width, h = raster.height;
    const bool turned = raster.orientation >= 5;
    still->width = static_cast<int32_t>(turned ? h : w);
    still->height = static_cast<int32_t>(turned ? w : h);
    if (raster.orientation == 1) {
        still->pixels = std::move(raster.pixels);
        return still;
    }
    still->pixels = hx::takeBytes(still->bytes());
    if (!still->pixels)
        return nullptr;
    // The source pixel of output (0, 0), and the source steps for one output column and one row.
    ptrdiff_t origin = 0, column = 1, row = w;
    switch (raster.orientation) {
    case 2: origin = w - 1, column = -1, row = w; break;          // mirrored
    case 3: origin = w * h - 1, column = -1, row = -w; break;     // upside down
    case 4: origin = (h - 1) * w, column = 1, row = -w; break;    // mirrored upside down
    case 5: origin = 0, column = w, row = 1; break;               // transposed
    case 6: origin = (h - 1) * w, column = -w, row = 1; break;    // turned a quarter clockwise to show
    case 7: origin = w * h - 1, column = -w, row = -1; break;     // transversed
    case 8: origin = w - 1, column = w, row = -1; break;          // turned a quarter anticlockwise
    }
    const auto* from = reinterpret_cast<const uint32_t*>(raster.pixels.get());
    auto* to = reinterpret_cast<uint32_t*>(still->pixels.get());
    for (int32_t y = 0; y < still->height; ++y) {
        ptrdiff_t source = origin + y * row;
        for (int32_t x = 0; x < still->width; ++x, source += column)
            *to++ = from[source];
    }
    return still;
}

} // namespace

namespace hx {

DecodedStill decodeStillBytes(const std::string& bytes, const std::string& name, bool highDefinition, size_t maxPixels,
                              bool checkOnly)
{
    DecodedStill result;
    std::string reason;
    Raster raster;
    const VideoYuv yuv(highDefinition);
    bool decoded = false;
    switch (pictureKindOf(bytes)) {
    case PictureKind::Jpeg:
        decoded = decodeJpeg(bytes, yuv, maxPixels, raster, reason, checkOnly);
        result.reduced = checkOnly;
        result.fullWidth = raster.fullWidth;
        result.fullHeight = raster.fullHeight;
        fitSides(result.fullWidth, result.fullHeight);
        if (raster.orientation >= 5)
            std::swap(result.fullWidth, result.fullHeight);
        break;
    case PictureKind::Png: decoded = decodePng(bytes, yuv, maxPixels, raster, reason); break;
    case PictureKind::Heif: decoded = decodeHeif(bytes, yuv, maxPixels, raster, reason); break;
    case PictureKind::Webp: decoded = decodeWebp(bytes, yuv, maxPixels, raster, reason); break;
    case PictureKind::Tiff: decoded = decodeTiff(bytes, yuv, maxPixels, raster, reason); break;
    case PictureKind::Unknown: reason = "not a picture the host reads (JPEG, PNG, HEIC, WebP or TIFF)"; break;
    }
    std::unique_ptr<Still> still;
    if (decoded && (!fitToImageSize(raster) || !(still = orient(raster))))
        reason = "no memory for the picture";
    if (still)
        result.still = std::move(still);
    else
        result.error = name + ": " + reason;
    if (!raster.note.empty())
        result.note = name + ": " + raster.note;
    return result;
}

DecodedStill decodeStillFile(const std::string& path, bool highDefinition, size_t maxPixels, bool checkOnly)
{
    std::string bytes, reason;
    if (!readWholeFile(path, bytes, kMaxFileBytes, &reason)) {
        DecodedStill unread;
        unread.error = path + ": " + reason;
        return unread;
    }
    return decodeStillBytes(bytes, path, highDefinition, maxPixels, checkOnly);
}

std::shared_ptr<const Still> acceptStill(DecodedStill decoded, std::string* error)
{
    countCall("decodeStill");
    if (!decoded.note.empty())
        loggerMessage(4, __LINE__, "hx", 0, "%s", decoded.note.c_str());
    if (!decoded.still && error)
        *error = decoded.error;
    return std::move(decoded.still);
}

void countDecode(const std::string& file, const DecodedStill& decoded)
{
    if (decoded.still)
        countStillDecode(file, decoded.still->width, decoded.still->height, decoded.reduced);
}

std::shared_ptr<const Still> decodeStill(const std::string& path, bool highDefinition, std::string* error)
{
    DecodedStill decoded = decodeStillFile(path, highDefinition, state().stillPixelLimit);
    countDecode(path, decoded);
    return acceptStill(std::move(decoded), error);
}

std::string tooLarge(uint64_t width, uint64_t height, size_t maxPixels)
{
    return "picture too large: " + std::to_string(width) + "x" + std::to_string(height) + " is over the limit of " +
           std::to_string(maxPixels) + " pixels";
}

} // namespace hx
