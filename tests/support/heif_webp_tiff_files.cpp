#include "support/heif_webp_tiff_files.h"

#include <cstring>
#include <fstream>
#include <lcms2.h>
#include <libheif/heif.h>
#include <stdexcept>
#include <tiffio.h>
#include <vector>
#include <webp/encode.h>
#include <zlib.h>

namespace {

void save(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void putLittle(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void putBig32(std::string& out, uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i));
}

std::string riffChunk(const char* type, const std::string& data)
{
    std::string chunk(type, 4);
    putLittle(chunk, static_cast<uint32_t>(data.size()), 4);
    chunk += data;
    if (data.size() % 2)
        chunk += '\0';
    return chunk;
}

std::string profileBytes(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::string bytes(size, '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

std::string rgbProfile(const cmsCIExyYTRIPLE& primaries, cmsToneCurve* curve, const char* name)
{
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", name);
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    return profileBytes(profile);
}

} // namespace

Pixels uniformPixels(int width, int height, std::string value)
{
    Pixels pixels{width, height, static_cast<int>(value.size()), {}};
    for (int i = 0; i < width * height; ++i)
        pixels.bytes += value;
    return pixels;
}

bool writeHeif(const std::string& path, const Pixels& pixels, const HeifOptions& options)
{
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code != heif_error_Ok) {
        heif_context_free(context);
        return false;
    }
    const bool alpha = pixels.channels == 4;
    heif_image* image = nullptr;
    heif_image_create(pixels.width, pixels.height, heif_colorspace_RGB,
                      alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, pixels.width, pixels.height, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const size_t row = static_cast<size_t>(pixels.width) * pixels.channels;
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(plane + static_cast<size_t>(y) * stride, pixels.bytes.data() + y * row, row);
    if (!options.iccProfile.empty())
        heif_image_set_raw_color_profile(image, "prof", options.iccProfile.data(), options.iccProfile.size());
    heif_encoder_set_lossy_quality(encoder, options.quality);
    heif_encoding_options* encoding = heif_encoding_options_alloc();
    encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
    const bool written = heif_context_encode_image(context, image, encoder, encoding, nullptr).code == heif_error_Ok &&
                         heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    heif_encoding_options_free(encoding);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    if (!written)
        throw std::runtime_error("cannot write " + path);
    return true;
}

void writeWebp(const std::string& path, const Pixels& pixels, int quality, const std::string& iccProfile)
{
    const auto* data = reinterpret_cast<const uint8_t*>(pixels.bytes.data());
    const int stride = pixels.width * pixels.channels;
    const bool alpha = pixels.channels == 4;
    uint8_t* encoded = nullptr;
    size_t size = 0;
    if (quality < 0)
        size = alpha ? WebPEncodeLosslessRGBA(data, pixels.width, pixels.height, stride, &encoded)
                     : WebPEncodeLosslessRGB(data, pixels.width, pixels.height, stride, &encoded);
    else
        size = alpha ? WebPEncodeRGBA(data, pixels.width, pixels.height, stride, static_cast<float>(quality), &encoded)
                     : WebPEncodeRGB(data, pixels.width, pixels.height, stride, static_cast<float>(quality), &encoded);
    if (!size)
        throw std::runtime_error("cannot encode " + path);
    std::string file(reinterpret_cast<const char*>(encoded), size);
    WebPFree(encoded);
    if (!iccProfile.empty()) {
        if (file.compare(12, 4, "VP8X") == 0)
            throw std::runtime_error("a profile goes only into a simple WebP here");
        // The extended layout: VP8X saying what follows, the ICCP chunk, then the picture's chunks.
        std::string header(1, static_cast<char>(0x20 | (alpha ? 0x10 : 0)));
        header.append(3, '\0');
        putLittle(header, static_cast<uint32_t>(pixels.width - 1), 3);
        putLittle(header, static_cast<uint32_t>(pixels.height - 1), 3);
        const std::string body = "WEBP" + riffChunk("VP8X", header) + riffChunk("ICCP", iccProfile) + file.substr(12);
        file = "RIFF";
        putLittle(file, static_cast<uint32_t>(body.size()), 4);
        file += body;
    }
    save(path, file);
}

void writeTiff(const std::string& path, int width, int height, const TiffOptions& options, const std::string& samples)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("cannot write " + path);
    const size_t row = static_cast<size_t>(width) * options.samplesPerPixel * (options.bitsPerSample / 8);
    for (int page = 0; page < options.pages; ++page) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, options.bitsPerSample);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, options.samplesPerPixel);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, options.photometric);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ORIENTATION, options.orientation);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
        if (options.extraSamples) {
            const uint16_t kind = static_cast<uint16_t>(options.extraSamples);
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &kind);
        }
        if (!options.iccProfile.empty())
            TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(options.iccProfile.size()), options.iccProfile.data());
        if (!options.colourMap.empty()) {
            const size_t entries = options.colourMap.size() / 6;
            std::vector<uint16_t> map(entries * 3);
            std::memcpy(map.data(), options.colourMap.data(), map.size() * 2);
            TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data() + entries, map.data() + 2 * entries);
        }
        std::string line(row, '\0');
        for (int y = 0; y < height; ++y) {
            line.assign(samples, static_cast<size_t>(y) * row, row);
            if (page > 0)
                for (char& c : line)
                    c = static_cast<char>(~c);
            TIFFWriteScanline(tiff, line.data(), static_cast<uint32_t>(y), 0);
        }
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
}

std::string withPngProfile(const std::string& png, const std::string& iccProfile)
{
    uLongf packedSize = compressBound(static_cast<uLong>(iccProfile.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(iccProfile.data()),
             static_cast<uLong>(iccProfile.size()));
    packed.resize(packedSize);
    const std::string data = "iCCP" + std::string("profile\0\0", 9) + packed;
    std::string chunk;
    putBig32(chunk, static_cast<uint32_t>(data.size() - 4));
    chunk += data;
    putBig32(chunk, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()))));
    constexpr size_t kAfterHeader = 8 + 25;
    return png.substr(0, kAfterHeader) + chunk + png.substr(kAfterHeader);
}

std::string displayP3Profile(const std::string& description)
{
    const double srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    const cmsCIExyYTRIPLE p3{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    return rgbProfile(p3, cmsBuildParametricToneCurve(nullptr, 4, srgbCurve), description.c_str());
}

std::string adobeRgbProfile()
{
    const cmsCIExyYTRIPLE adobe{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    return rgbProfile(adobe, cmsBuildGamma(nullptr, 563.0 / 256), "Adobe RGB (1998)");
}

std::string toSrgb(const std::string& iccProfile, const std::string& rgb)
{
    cmsHPROFILE from = cmsOpenProfileFromMem(iccProfile.data(), static_cast<cmsUInt32Number>(iccProfile.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(from, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    std::string out(rgb.size(), '\0');
    cmsDoTransform(transform, rgb.data(), out.data(), static_cast<cmsUInt32Number>(rgb.size() / 3));
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(from);
    return out;
}
