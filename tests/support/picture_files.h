// JPEG and PNG files with known pixels, written by the tests through libjpeg and libpng.
#ifndef TESTS_SUPPORT_PICTURE_FILES_H
#define TESTS_SUPPORT_PICTURE_FILES_H

#include <cstdint>
#include <functional>
#include <string>

struct JpegOptions {
    int components = 3;  // 1 gray, 3 RGB, 4 CMYK (stored inverted, as Adobe's writers do)
    bool progressive = false;
    int exifOrientation = 0; // 0: no EXIF block
    int exifType = 3;        // the orientation's field type: 3 SHORT, 4 LONG, 9 SLONG
};

// `pixel(x, y, out)` fills `components` bytes; an ICC profile goes into as many APP2 markers as it needs.
void writeJpeg(const std::string& path, int width, int height, const JpegOptions& options,
               const std::function<void(int, int, uint8_t*)>& pixel, const std::string& iccProfile = {});

// The simplified libpng writer: `format` is a PNG_FORMAT_* value; 2 bytes a channel for linear formats.
void writePng(const std::string& path, int width, int height, uint32_t format, const std::string& pixels,
              const std::string& colourMap = {});

#endif
