// PNG through libpng's simplified reader: every PNG type comes out as 8-bit RGB, with alpha
// composited on black, the colour of video black behind a picture.
#include "image/decode/colour_profile.h"
#include "image/decode/picture_decoders.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <png.h>
#include <zlib.h>

namespace {

constexpr size_t kSignatureBytes = 8;
constexpr size_t kMaxProfileBytes = 16u << 20;
constexpr size_t kRowsPerConversion = 64;

uint32_t bigEndian32(const char* at)
{
    const auto* b = reinterpret_cast<const uint8_t*>(at);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// A zlib stream inflated, refused past `limit` bytes.
bool inflateBounded(const char* data, size_t size, size_t limit, std::string& out)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = static_cast<uInt>(size);
    char buffer[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > limit || (status == Z_BUF_ERROR && stream.avail_in == 0))
            break;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

// The profile of an iCCP chunk before the pixels, or empty. Pictures tagged for HDR (cICP) keep
// what the PNG reader makes of them.
std::string iccProfileOf(const std::string& bytes, std::string& note)
{
    std::string icc;
    for (size_t at = kSignatureBytes; at <= bytes.size() && bytes.size() - at >= 12;) {
        const size_t length = bigEndian32(bytes.data() + at);
        const std::string type = bytes.substr(at + 4, 4);
        if (length > bytes.size() - at - 12 || type == "IDAT")
            break;
        const char* data = bytes.data() + at + 8;
        if (type == "cICP")
            return {};
        if (type == "iCCP") {
            // A name of 1 to 79 bytes, its terminator, the compression method 0, then the stream.
            const char* end = static_cast<const char*>(std::memchr(data, 0, std::min<size_t>(length, 80)));
            const size_t streamAt = end ? static_cast<size_t>(end - data) + 2 : length;
            if (streamAt >= length || !inflateBounded(data + streamAt, length - streamAt, kMaxProfileBytes, icc)) {
                note = "broken colour profile, taken as sRGB";
                icc.clear();
            }
        }
        at += 12 + length;
    }
    return icc;
}

} // namespace

namespace hx {

bool decodePng(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = std::string("corrupt PNG: ") + image.message;
        return false;
    }
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    if (pixels == 0 || pixels > maxPixels) {
        error = tooLarge(image.width, image.height, maxPixels);
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[pixels * 3]);
    raster.pixels = takeBytes(pixels * 4);
    if (!rgb || !raster.pixels) {
        error = "no memory for a picture of " + std::to_string(image.width) + "x" + std::to_string(image.height);
        png_image_free(&image);
        raster.pixels.reset();
        return false;
    }
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, rgb.get(), 0, nullptr)) {
        error = std::string("corrupt or truncated PNG: ") + image.message;
        png_image_free(&image);
        raster.pixels.reset();
        return false;
    }
    VideoRows video(yuv, SampleLayout::Rgb8, SrgbConversion(iccProfileOf(bytes, raster.note), SampleLayout::Rgb8, raster.note));
    const size_t strip = static_cast<size_t>(image.width) * kRowsPerConversion;
    for (size_t done = 0; done < pixels; done += strip)
        video.put(rgb.get() + done * 3, raster.pixels.get() + done * 4, std::min(strip, pixels - done));
    raster.width = static_cast<int32_t>(image.width);
    raster.height = static_cast<int32_t>(image.height);
    raster.orientation = 1;
    return true;
}

} // namespace hx
