// The table of video formats and the format the host runs at.
#include "hxhost/video_format.h"

#include "runtime/host_state.h"

#include <array>

namespace hxhost {

namespace {

struct Rate {
    const char* text;
    int32_t whole;
    bool fractional;
};
constexpr std::array<Rate, 8> kProgressiveRates{{{"24", 24, false}, {"25", 25, false}, {"30", 30, false},
                                                 {"50", 50, false}, {"60", 60, false}, {"23.976", 24, true},
                                                 {"29.97", 30, true}, {"59.94", 60, true}}};

} // namespace

const std::vector<VideoFormat>& videoFormats()
{
    // PAL's and NTSC's pixels make a 4:3 picture of the whole 720-pixel line.
    static const std::vector<VideoFormat> table{
        {"pal", 720, 576, false, 25, false, 1067, false},
        {"ntsc", 720, 480, false, 30, true, 889, false},
        {"1080i", 1920, 1080, false, 25, false, 1000, true},
        {"720p", 1280, 720, true, 30, false, 1000, true},
        {"1080p", 1920, 1080, true, 30, false, 1000, true},
        {"2160p", 3840, 2160, true, 30, false, 1000, true},
        {"vertical", 1080, 1920, true, 30, false, 1000, true},
        {"square", 1080, 1080, true, 30, false, 1000, true},
    };
    return table;
}

bool findVideoFormat(const std::string& name, const std::string& rate, VideoFormat& out, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    const std::string wanted = name == "hd1080" ? "1080i" : name;
    for (const VideoFormat& format : videoFormats()) {
        if (format.name != wanted)
            continue;
        out = format;
        if (rate.empty())
            return true;
        if (!format.progressive)
            return fail(format.name + " has its own rate; only progressive formats take another");
        for (const Rate& r : kProgressiveRates)
            if (rate == r.text) {
                out.framesPerSecond = r.whole;
                out.fractionalRate = r.fractional;
                return true;
            }
        return fail("a progressive format runs at 24, 25, 30, 50, 60, 23.976, 29.97 or 59.94 frames a second, not '" +
                    rate + "'");
    }
    std::string names;
    for (const VideoFormat& format : videoFormats())
        names += (names.empty() ? "" : ", ") + format.name;
    return fail("the formats are " + names + " (hd1080 is 1080i), not '" + name + "'");
}

std::string rateText(const VideoFormat& format)
{
    for (const Rate& r : kProgressiveRates)
        if (r.whole == format.framesPerSecond && r.fractional == format.fractionalRate)
            return r.text;
    return std::to_string(format.framesPerSecond);
}

std::string describeVideoFormat(const VideoFormat& format)
{
    return format.name + " at " + rateText(format) + " frames a second";
}

void setVideoFormat(const VideoFormat& format)
{
    hx::state().format = format;
}

bool setVideoFormat(const std::string& name, const std::string& rate, std::string* error)
{
    VideoFormat format;
    if (!findVideoFormat(name, rate, format, error))
        return false;
    setVideoFormat(format);
    return true;
}

const VideoFormat& videoFormat()
{
    return hx::state().format;
}

} // namespace hxhost
