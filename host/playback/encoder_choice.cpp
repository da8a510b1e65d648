#include "playback/encoder_choice.h"

#include <algorithm>
#include <array>

namespace hx {

namespace {

struct Codec {
    const char* name;
    const char* library;
    const char* defaultPreset;
    int32_t defaultQuality;
    int32_t maxQuality;
    bool namedPresets; // x264's and x265's names; else a number from 0 to maxPreset, lower is slower
    int32_t maxPreset;
};

// Defaults chosen for a slideshow: stills and slow motion look clean at these and encode quickly.
constexpr std::array<Codec, 4> kCodecs{{
    {"h264", "libx264", "veryfast", 18, 51, true, 0},
    {"hevc", "libx265", "fast", 22, 51, true, 0},
    {"av1", "libsvtav1", "8", 30, 63, false, 13},
    {"vp9", "libvpx-vp9", "5", 32, 63, false, 8},
}};

// H.264 holds a few pictures for each thread and each frame it looks ahead: a bound on both bounds
// its memory whatever the machine's cores. Up to 1080p two threads each encode a picture while the
// look-ahead, nearly as much work again, runs on a thread of its own. Above 1080p a picture takes
// four times the memory: the two threads share each picture (a sixth less memory, 0.6% more bits)
// and look ahead less.
constexpr int32_t kH264Threads = 2;
constexpr int32_t kH264Lookahead = 10;
constexpr int32_t kH264LookaheadAbove1080p = 4;
constexpr int64_t k1080pPixels = 1920 * 1088;

constexpr std::array<const char*, 10> kNamedPresets{"ultrafast", "superfast", "veryfast", "faster", "fast",
                                                   "medium",    "slow",      "slower",   "veryslow", "placebo"};

const Codec* findCodec(const std::string& name)
{
    for (const Codec& codec : kCodecs)
        if (name == codec.name)
            return &codec;
    return nullptr;
}

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

bool presetFits(const Codec& codec, const std::string& preset)
{
    if (codec.namedPresets)
        return std::find(kNamedPresets.begin(), kNamedPresets.end(), preset) != kNamedPresets.end();
    return !preset.empty() && preset.size() <= 2 && preset.find_first_not_of("0123456789") == std::string::npos &&
           std::stoi(preset) <= codec.maxPreset;
}

std::string containerDefault(Container container)
{
    switch (container) {
    case Container::Mp4: return "h264";
    case Container::WebM: return "vp9";
    default: return "ffv1";
    }
}

bool containerHolds(Container container, const std::string& codec)
{
    switch (container) {
    case Container::Mp4: return codec == "h264" || codec == "hevc" || codec == "av1";
    case Container::WebM: return codec == "vp9" || codec == "av1";
    default: return true;
    }
}

const char* containerName(Container container)
{
    switch (container) {
    case Container::Mp4: return ".mp4";
    case Container::WebM: return ".webm";
    default: return ".mkv";
    }
}

} // namespace

bool chooseEncoder(const hxhost::VideoFileFormat& format, Container container, ChosenEncoder& out, std::string* error)
{
    const hxhost::EncoderChoice& choice = format.encoder;
    const std::string name = choice.codec.empty() ? containerDefault(container) : choice.codec;
    if (name == "ffv1") {
        // Lossless: a preset or quality has nothing to set, and interlaced video is kept as it is.
        out = {"ffv1", "ffv1", "", -1};
        return true;
    }
    const Codec* codec = findCodec(name);
    if (!codec)
        return fail(error, "the codecs are h264, hevc, av1 and vp9, not '" + name + "'");
    if (!containerHolds(container, name))
        return fail(error, std::string("a ") + containerName(container) + " file cannot hold " + name +
                               (container == Container::WebM ? " (use vp9 or av1)" : " (use h264, hevc or av1)"));
    if (!format.progressive && name != "h264")
        return fail(error, name + " is written progressive only: choose a progressive format, or h264 or a lossless .mkv");
    const std::string preset = choice.preset.empty() ? codec->defaultPreset : choice.preset;
    if (!presetFits(*codec, preset))
        return fail(error, std::string(codec->namedPresets ? "the presets of " + name + " are ultrafast to placebo"
                                                            : "the presets of " + name + " are 0 (slowest) to " +
                                                                  std::to_string(codec->maxPreset)) +
                               ", not '" + preset + "'");
    const int32_t quality = choice.quality < 0 ? codec->defaultQuality : choice.quality;
    if (quality > codec->maxQuality)
        return fail(error, "the quality of " + name + " runs from 0 (best) to " + std::to_string(codec->maxQuality) +
                               ", not " + std::to_string(quality));
    out = {name, codec->library, preset, quality};
    if (name == "h264") {
        const bool above1080p = static_cast<int64_t>(format.width) * format.height > k1080pPixels;
        out.threads = format.encoderThreads > 0 ? format.encoderThreads : kH264Threads;
        out.lookahead = above1080p ? kH264LookaheadAbove1080p : kH264Lookahead;
        out.slicedThreads = above1080p;
    }
    return true;
}

} // namespace hx

namespace hxhost {

std::string encoderDefaults(const std::string& indent)
{
    std::string lines;
    for (const auto& codec : hx::kCodecs)
        lines += indent + codec.name + " (" + codec.library + "): preset " + codec.defaultPreset + ", quality " +
                 std::to_string(codec.defaultQuality) + " (0 best to " + std::to_string(codec.maxQuality) + ")\n";
    return lines + indent + "h264 looks ahead " + std::to_string(hx::kH264Lookahead) + " frames at most (" +
           std::to_string(hx::kH264LookaheadAbove1080p) + " above 1080p)\n" + indent + "and encodes on " +
           std::to_string(hx::kH264Threads) + " threads unless --threads says, to bound its memory\n";
}

} // namespace hxhost
