// Colours of decoded pictures: samples described by an embedded ICC profile are brought to sRGB with
// LittleCMS before they become the video's YUV; a picture without one is taken as sRGB.
#ifndef HX_COLOUR_PROFILE_H
#define HX_COLOUR_PROFILE_H

#include "video/video_yuv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hx {

// How a decoder hands over its samples; alpha is composited on black before anything else.
enum class SampleLayout { Gray8, Rgb8, Rgba8, Cmyk8, InvertedCmyk8 };

// Chromaticities of an RGB space with the sRGB transfer curve (as a HEIF's nclx box states them).
struct Primaries {
    double red[2], green[2], blue[2], white[2];
};

// The transform of one picture's samples into 8-bit sRGB. Empty when there is nothing to do: no
// profile, a profile that describes sRGB itself, or one that cannot be used (`note` then says why,
// and the picture is taken as sRGB).
class SrgbConversion {
public:
    SrgbConversion() = default;
    SrgbConversion(const std::string& icc, SampleLayout layout, std::string& note);
    SrgbConversion(const Primaries& primaries, SampleLayout layout);
    SrgbConversion(SrgbConversion&& other) noexcept;
    SrgbConversion& operator=(SrgbConversion&& other) noexcept;
    SrgbConversion(const SrgbConversion&) = delete;
    SrgbConversion& operator=(const SrgbConversion&) = delete;
    ~SrgbConversion();

    explicit operator bool() const { return transform_ != nullptr; }
    // `samples` in the layout the conversion was made for (alpha already gone), `rgb` 3 bytes a pixel.
    void apply(const uint8_t* samples, uint8_t* rgb, size_t pixels) const;

private:
    void* transform_ = nullptr;
};

// Decoded rows into format-1 pixels: alpha composited on black, the profile applied, then the
// video's matrix. Keeps its scratch rows between calls.
class VideoRows {
public:
    VideoRows(const VideoYuv& yuv, SampleLayout layout, SrgbConversion conversion);
    void put(const uint8_t* samples, uint8_t* yuva, size_t pixels);
    bool colourManaged() const { return static_cast<bool>(conversion_); }

private:
    const VideoYuv& yuv_;
    SampleLayout layout_;
    SrgbConversion conversion_;
    std::vector<uint8_t> flat_, rgb_;
};

// The layout samples have once their alpha is composited away.
SampleLayout withoutAlpha(SampleLayout layout);

} // namespace hx

#endif
