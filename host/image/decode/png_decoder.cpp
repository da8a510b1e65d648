// PNG through libpng's simplified reader: every PNG type comes out as 8-bit RGB, with alpha
// composited on black, the colour of video black behind a picture.
#include "image/decode/colour_profile.h"
#include "image/decode/picture_decoders.h"
#include "image/decode/reduced_rows.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <optional>
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

struct MemoryReader {
    const std::string& bytes;
    size_t at = 0;
};

void readFromMemory(png_structp png, png_bytep out, size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->bytes.size() - reader->at < count)
        png_error(png, "file ends early");
    std::memcpy(out, reader->bytes.data() + reader->at, count);
    reader->at += count;
}

void keepPngError(png_structp png, png_const_charp message)
{
    auto* reason = static_cast<std::string*>(png_get_error_ptr(png));
    *reason = message;
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

struct PngRelease {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngRelease() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// Alpha composited on black, in place: RGBA becomes RGB.
void compositeOnBlack(uint8_t* row, size_t pixels)
{
    uint8_t* out = row;
    for (size_t i = 0; i < pixels; ++i, row += 4) {
        const unsigned alpha = row[3];
        for (int c = 0; c < 3; ++c)
            *out++ = static_cast<uint8_t>((row[c] * alpha + 127) / 255);
    }
}

// A PNG over the limit, read a row at a time and reduced by `factor` as it comes, so that neither
// the whole picture nor its samples are ever held. Interlaced pictures need every row at once.
bool decodeReducedPng(const std::string& bytes, const hx::VideoYuv& yuv, uint32_t width, uint32_t height,
                      size_t maxPixels, hx::Raster& raster, std::string& error)
{
    const int factor = hx::reductionFor(width, height, maxPixels);
    std::string reason;
    PngRelease release;
    release.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, keepPngError, ignorePngWarning);
    if (release.png)
        release.info = png_create_info_struct(release.png);
    if (!release.info) {
        error = "no memory to read a PNG file";
        return false;
    }
    png_structp png = release.png;
    png_infop info = release.info;
    MemoryReader reader{bytes};
    // Everything with a destructor lives outside the stretch that libpng may jump out of.
    std::vector<uint8_t> samples;
    std::optional<hx::VideoRows> video;
    std::optional<hx::RowReducer> reducer;
    if (setjmp(png_jmpbuf(png))) {
        error = "corrupt or truncated PNG: " + reason;
        raster.pixels.reset();
        return false;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_user_limits(png, width, height);
    png_read_info(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) {
        error = hx::tooLarge(width, height, maxPixels) + ", and interlaced: it cannot be read a strip at a time";
        return false;
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    const size_t channels = png_get_channels(png, info);
    if (channels != 3 && channels != 4)
        png_error(png, "unexpected sample layout");
    const size_t w = hx::reducedSide(width, factor), h = hx::reducedSide(height, factor);
    raster.pixels = hx::takeBytes(w * h * 4);
    if (!raster.pixels) {
        error = "no memory for a picture of " + std::to_string(w) + "x" + std::to_string(h);
        return false;
    }
    samples.resize(static_cast<size_t>(width) * channels);
    video.emplace(yuv, hx::SampleLayout::Rgb8,
                  hx::SrgbConversion(iccProfileOf(bytes, raster.note), hx::SampleLayout::Rgb8, raster.note));
    reducer.emplace(width, height, factor, 3, *video, raster.pixels.get());
    for (uint32_t y = 0; y < height; ++y) {
        png_read_row(png, samples.data(), nullptr);
        if (channels == 4)
            compositeOnBlack(samples.data(), width);
        reducer->put(samples.data());
    }
    raster.width = static_cast<int32_t>(w);
    raster.height = static_cast<int32_t>(h);
    raster.orientation = 1;
    return true;
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
    const int factor = reductionFor(image.width, image.height, maxPixels);
    if (pixels == 0 || factor == 0) {
        error = tooLarge(image.width, image.height, maxPixels);
        png_image_free(&image);
        return false;
    }
    if (factor > 1) {
        const uint32_t width = image.width, height = image.height;
        png_image_free(&image);
        return decodeReducedPng(bytes, yuv, width, height, maxPixels, raster, error);
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
