// TIFF through libtiff, from memory: the first page through the library's RGBA reader (8 or 16
// bits, RGB, gray, palette, Y Cb Cr, CMYK, with alpha made associated, so its colours are already
// composited on black). CMYK carrying its own profile is read as CMYK for LittleCMS instead.
#include "image/decode/colour_profile.h"
#include "image/decode/picture_decoders.h"
#include "image/decode/reduced_rows.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <tiffio.h>
#include <vector>

namespace {

constexpr tmsize_t kMaxLibraryBlock = 256 << 20;
// What one strip of a reduced read may hold.
constexpr size_t kMaxStripBytes = 64u << 20;

struct MemoryFile {
    const std::string& bytes;
    toff_t at = 0;
};

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t left = file->at < file->bytes.size() ? file->bytes.size() - file->at : 0;
    const auto count = static_cast<size_t>(std::min<toff_t>(left, static_cast<toff_t>(std::max<tmsize_t>(size, 0))));
    std::memcpy(buffer, file->bytes.data() + file->at, count);
    file->at += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? file->bytes.size() : 0;
    file->at = base + offset;
    return file->at;
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t sizeOfMemory(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->bytes.size();
}

// The first message of each kind is kept for the reason; none reaches the terminal.
int keepError(TIFF*, void* userData, const char*, const char* format, va_list arguments)
{
    auto* message = static_cast<std::string*>(userData);
    if (message->empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, arguments);
        *message = text;
    }
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffRelease {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::string iccProfileOf(TIFF* tiff)
{
    uint32_t size = 0;
    void* data = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &size, &data) || !data)
        return {};
    return std::string(static_cast<const char*>(data), size);
}

// 8-bit contiguous CMYK in strips, the one layout read past the RGBA reader so its profile applies.
bool isPlainCmyk(TIFF* tiff)
{
    uint16_t photometric = 0, samples = 0, bits = 0, planar = 0, inks = INKSET_CMYK;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
    return photometric == PHOTOMETRIC_SEPARATED && samples == 4 && bits == 8 && planar == PLANARCONFIG_CONTIG &&
           inks == INKSET_CMYK && !TIFFIsTiled(tiff);
}

bool readCmyk(TIFF* tiff, uint32_t height, hx::RowReducer& reducer, size_t width)
{
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    if (row.size() < width * 4)
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff, row.data(), y, 0) < 0)
            return false;
        reducer.put(row.data());
    }
    return true;
}

// Rows of the RGBA reader (R, G, B, A bytes) in the layout the profile asks for.
void flatten(const uint8_t* rgba, uint8_t* out, size_t pixels, bool gray)
{
    for (size_t i = 0; i < pixels; ++i, rgba += 4)
        if (gray) {
            *out++ = rgba[0];
        } else {
            *out++ = rgba[0];
            *out++ = rgba[1];
            *out++ = rgba[2];
        }
}

// The picture through the RGBA reader a strip of rows at a time, reduced by `factor` as it comes:
// only the strip and the (reduced) picture are held.
bool readRgba(TIFF* tiff, uint32_t width, uint32_t height, int factor, const hx::VideoYuv& yuv,
                     const std::string& icc, hx::Raster& raster, std::string& reason)
{
    char message[1024] = "";
    TIFFRGBAImage image;
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&image, tiff, 0, message)) {
        reason = message;
        return false;
    }
    // The pixels as stored; the orientation is applied with every other format's.
    image.req_orientation = image.orientation;
    // Whole blocks of the reduction in each read, and whole strips (or rows of tiles) where they fit.
    uint32_t stored = 1;
    TIFFGetFieldDefaulted(tiff, TIFFIsTiled(tiff) ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, &stored);
    const uint64_t block = static_cast<uint64_t>(factor);
    const uint64_t most = std::max<uint64_t>(block, kMaxStripBytes / (static_cast<size_t>(width) * 4) / block * block);
    const auto strip = static_cast<uint32_t>(std::min(std::lcm(std::clamp<uint64_t>(stored, 1, height), block), most));
    const bool gray = image.photometric == PHOTOMETRIC_MINISBLACK || image.photometric == PHOTOMETRIC_MINISWHITE;
    const size_t w = hx::reducedSide(width, factor), h = hx::reducedSide(height, factor);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * strip * 4), row(static_cast<size_t>(width) * 3);
    raster.pixels = hx::takeBytes(w * h * 4);
    bool read = static_cast<bool>(raster.pixels);
    const hx::SampleLayout layout = gray ? hx::SampleLayout::Gray8 : hx::SampleLayout::Rgb8;
    hx::VideoRows video(yuv, layout, hx::SrgbConversion(icc, layout, raster.note));
    hx::RowReducer reducer(width, height, factor, gray ? 1 : 3, video, raster.pixels.get());
    for (uint32_t top = 0; read && top < height; top += strip) {
        const uint32_t rows = std::min(strip, height - top);
        image.row_offset = static_cast<int>(top);
        read = TIFFRGBAImageGet(&image, reinterpret_cast<uint32_t*>(rgba.data()), width, rows) != 0;
        for (uint32_t y = 0; read && y < rows; ++y) {
            flatten(rgba.data() + static_cast<size_t>(y) * width * 4, row.data(), width, gray);
            reducer.put(row.data());
        }
    }
    TIFFRGBAImageEnd(&image);
    if (!read)
        reason = raster.pixels ? "unreadable pixels" : "no memory";
    return read;
}

} // namespace

namespace hx {

bool decodeTiff(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error)
{
    std::string libraryError;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        error = "no memory to read a TIFF file";
        return false;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryBlock);
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepError, &libraryError);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    MemoryFile file{bytes};
    const std::unique_ptr<TIFF, TiffRelease> tiff(TIFFClientOpenExt("picture", "rm", &file, readMemory, writeNothing, seekMemory,
                                                                   closeNothing, sizeOfMemory, nullptr, nullptr, options));
    TIFFOpenOptionsFree(options);
    const auto corrupt = [&](const std::string& what) {
        error = "corrupt or truncated TIFF: " + (libraryError.empty() ? what : libraryError);
        raster.pixels.reset();
        return false;
    };
    if (!tiff)
        return corrupt("no readable first page");
    uint32_t width = 0, height = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) ||
        width == 0 || height == 0)
        return corrupt("no picture size");
    const int factor = reductionFor(width, height, maxPixels);
    if (factor == 0) {
        error = tooLarge(width, height, maxPixels);
        return false;
    }
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    const std::string icc = iccProfileOf(tiff.get());
    std::string reason;
    const size_t w = reducedSide(width, factor), h = reducedSide(height, factor);
    if (!icc.empty() && isPlainCmyk(tiff.get())) {
        raster.pixels = takeBytes(w * h * 4);
        if (!raster.pixels)
            return corrupt("no memory for the CMYK pixels");
        VideoRows video(yuv, SampleLayout::Cmyk8, SrgbConversion(icc, SampleLayout::Cmyk8, raster.note));
        RowReducer reducer(width, height, factor, 4, video, raster.pixels.get());
        if (!readCmyk(tiff.get(), height, reducer, width))
            return corrupt("unreadable CMYK pixels");
    } else if (!readRgba(tiff.get(), width, height, factor, yuv, icc, raster, reason)) {
        return corrupt(reason);
    }
    raster.width = static_cast<int32_t>(w);
    raster.height = static_cast<int32_t>(h);
    raster.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    return true;
}

} // namespace hx
