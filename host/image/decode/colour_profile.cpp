#include "image/decode/colour_profile.h"

#include <cmath>
#include <lcms2.h>
#include <mutex>
#include <utility>

namespace {

constexpr double kSrgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
// Profiles store colorants as s15.16 numbers, and sRGB profiles in the wild differ in the fourth place.
constexpr double kSameColorant = 0.0015;
constexpr double kSameCurve = 0.002;

void quiet(cmsContext, cmsUInt32Number, const char*) {}

// LittleCMS reports through one process-wide handler; decoders run on several threads.
void silenceLittleCms()
{
    static std::once_flag once;
    std::call_once(once, [] { cmsSetLogErrorHandler(quiet); });
}

struct Profile {
    cmsHPROFILE handle;
    explicit Profile(cmsHPROFILE h) : handle(h) {}
    ~Profile()
    {
        if (handle)
            cmsCloseProfile(handle);
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
};

cmsColorSpaceSignature spaceOf(hx::SampleLayout layout)
{
    switch (layout) {
    case hx::SampleLayout::Gray8: return cmsSigGrayData;
    case hx::SampleLayout::Cmyk8:
    case hx::SampleLayout::InvertedCmyk8: return cmsSigCmykData;
    default: return cmsSigRgbData;
    }
}

cmsUInt32Number formatOf(hx::SampleLayout layout)
{
    switch (layout) {
    case hx::SampleLayout::Gray8: return TYPE_GRAY_8;
    case hx::SampleLayout::Cmyk8: return TYPE_CMYK_8;
    case hx::SampleLayout::InvertedCmyk8: return TYPE_CMYK_8_REV;
    default: return TYPE_RGB_8;
    }
}

bool sameColorant(cmsHPROFILE profile, cmsTagSignature tag, const cmsCIEXYZ& expected)
{
    const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag));
    return xyz && std::abs(xyz->X - expected.X) < kSameColorant && std::abs(xyz->Y - expected.Y) < kSameColorant &&
           std::abs(xyz->Z - expected.Z) < kSameColorant;
}

bool sameCurve(cmsHPROFILE profile, cmsTagSignature tag, const cmsToneCurve* expected)
{
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
    if (!curve)
        return false;
    for (int i = 0; i <= 16; ++i) {
        const float x = static_cast<float>(i) / 16;
        if (std::abs(cmsEvalToneCurveFloat(curve, x) - cmsEvalToneCurveFloat(expected, x)) > kSameCurve)
            return false;
    }
    return true;
}

// Most embedded profiles say sRGB; converting those would cost time and change nothing.
bool describesSrgb(cmsHPROFILE profile)
{
    if (cmsGetColorSpace(profile) != cmsSigRgbData || !cmsIsMatrixShaper(profile))
        return false;
    const Profile srgb(cmsCreate_sRGBProfile());
    const Profile* reference = &srgb;
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
    for (cmsTagSignature tag : colorants) {
        const auto* expected = static_cast<const cmsCIEXYZ*>(cmsReadTag(reference->handle, tag));
        if (!expected || !sameColorant(profile, tag, *expected))
            return false;
    }
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, kSrgbCurve);
    bool same = curve != nullptr;
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag})
        same = same && sameCurve(profile, tag, curve);
    if (curve)
        cmsFreeToneCurve(curve);
    return same;
}

void* transformToSrgb(cmsHPROFILE profile, hx::SampleLayout layout)
{
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb.handle)
        return nullptr;
    return cmsCreateTransform(profile, formatOf(layout), srgb.handle, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
}

void cmykToRgb(const uint8_t* cmyk, uint8_t* rgb, size_t pixels, bool inverted)
{
    for (size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<uint8_t>((inverted ? cmyk[c] : 255u - cmyk[c]) * k / 255);
    }
}

void compositeOnBlack(const uint8_t* rgba, uint8_t* rgb, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3)
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<uint8_t>((rgba[c] * rgba[3] + 127) / 255);
}

} // namespace

namespace hx {

SrgbConversion::SrgbConversion(const std::string& icc, SampleLayout layout, std::string& note)
{
    if (icc.empty())
        return;
    silenceLittleCms();
    const SampleLayout flat = withoutAlpha(layout);
    const Profile profile(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
    if (!profile.handle) {
        note = "broken colour profile, taken as sRGB";
        return;
    }
    if (cmsGetColorSpace(profile.handle) != spaceOf(flat)) {
        note = "colour profile does not fit the picture's colours, taken as sRGB";
        return;
    }
    if (describesSrgb(profile.handle))
        return;
    transform_ = transformToSrgb(profile.handle, flat);
    if (!transform_)
        note = "unusable colour profile, taken as sRGB";
}

SrgbConversion::SrgbConversion(const Primaries& p, SampleLayout layout)
{
    silenceLittleCms();
    const cmsCIExyY white{p.white[0], p.white[1], 1.0};
    const cmsCIExyYTRIPLE primaries{{p.red[0], p.red[1], 1.0}, {p.green[0], p.green[1], 1.0}, {p.blue[0], p.blue[1], 1.0}};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, kSrgbCurve);
    if (!curve)
        return;
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    if (profile.handle && !describesSrgb(profile.handle))
        transform_ = transformToSrgb(profile.handle, withoutAlpha(layout));
}

SrgbConversion::SrgbConversion(SrgbConversion&& other) noexcept : transform_(std::exchange(other.transform_, nullptr)) {}

SrgbConversion& SrgbConversion::operator=(SrgbConversion&& other) noexcept
{
    std::swap(transform_, other.transform_);
    return *this;
}

SrgbConversion::~SrgbConversion()
{
    if (transform_)
        cmsDeleteTransform(transform_);
}

void SrgbConversion::apply(const uint8_t* samples, uint8_t* rgb, size_t pixels) const
{
    cmsDoTransform(transform_, samples, rgb, static_cast<cmsUInt32Number>(pixels));
}

SampleLayout withoutAlpha(SampleLayout layout)
{
    return layout == SampleLayout::Rgba8 ? SampleLayout::Rgb8 : layout;
}

VideoRows::VideoRows(const VideoYuv& yuv, SampleLayout layout, SrgbConversion conversion)
    : yuv_(yuv), layout_(layout), conversion_(std::move(conversion))
{
}

void VideoRows::put(const uint8_t* samples, uint8_t* yuva, size_t pixels)
{
    if (layout_ == SampleLayout::Rgba8) {
        flat_.resize(pixels * 3);
        compositeOnBlack(samples, flat_.data(), pixels);
        samples = flat_.data();
    }
    const SampleLayout flat = withoutAlpha(layout_);
    if (conversion_) {
        rgb_.resize(pixels * 3);
        conversion_.apply(samples, rgb_.data(), pixels);
        yuv_.fromRgb(rgb_.data(), yuva, pixels);
        return;
    }
    switch (flat) {
    case SampleLayout::Gray8:
        yuv_.fromGray(samples, yuva, pixels);
        break;
    case SampleLayout::Cmyk8:
    case SampleLayout::InvertedCmyk8:
        rgb_.resize(pixels * 3);
        cmykToRgb(samples, rgb_.data(), pixels, flat == SampleLayout::InvertedCmyk8);
        yuv_.fromRgb(rgb_.data(), yuva, pixels);
        break;
    default:
        yuv_.fromRgb(samples, yuva, pixels);
        break;
    }
}

} // namespace hx
