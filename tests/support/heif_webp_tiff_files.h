// HEIF, WebP and TIFF files with known pixels, written by the tests through libheif, libwebp and
// libtiff, and the colour profiles they carry, made with LittleCMS.
#ifndef TESTS_SUPPORT_HEIF_WEBP_TIFF_FILES_H
#define TESTS_SUPPORT_HEIF_WEBP_TIFF_FILES_H

#include <cstdint>
#include <string>

// Pixels are rows of `channels` bytes (3: RGB, 4: RGBA), row after row.
struct Pixels {
    int width = 0, height = 0, channels = 3;
    std::string bytes;
};
// Every pixel `rgb` (or `rgba`).
Pixels uniformPixels(int width, int height, std::string value);

struct HeifOptions {
    int quality = 90;
    int orientation = 1;    // EXIF numbering, written as the file's rotation and mirror
    std::string iccProfile = {}; // a "prof" colour box; empty: none
};
// False when no HEVC encoder is present.
bool writeHeif(const std::string& path, const Pixels& pixels, const HeifOptions& options = {});

// Lossless unless `quality` >= 0; an ICCP chunk when `iccProfile` is given.
void writeWebp(const std::string& path, const Pixels& pixels, int quality = -1, const std::string& iccProfile = {});

struct TiffOptions {
    int photometric = 2;   // PHOTOMETRIC_RGB; 1 gray, 3 palette, 5 CMYK
    int bitsPerSample = 8;
    int samplesPerPixel = 3;
    int orientation = 1;
    int extraSamples = 0;  // 2: unassociated alpha as the last sample
    std::string iccProfile = {};
    std::string colourMap = {}; // 16-bit red, green, blue tables for palette pictures
    int pages = 1;         // further pages repeat the first with inverted samples
};
// `samples` holds width x height pixels of samplesPerPixel samples, 1 or 2 bytes (native order) each.
void writeTiff(const std::string& path, int width, int height, const TiffOptions& options, const std::string& samples);

// The same file with an ICC profile added: PNG (an iCCP chunk after the header).
std::string withPngProfile(const std::string& png, const std::string& iccProfile);

// Matrix-shaper RGB profiles of two wide spaces, as the cameras and phones that use them embed them;
// a long description makes a profile too large for one JPEG marker.
std::string displayP3Profile(const std::string& description = "Display P3");
std::string adobeRgbProfile();
// `rgb` (3 bytes) converted from `iccProfile` to sRGB by LittleCMS, relative colorimetric.
std::string toSrgb(const std::string& iccProfile, const std::string& rgb);

#endif
