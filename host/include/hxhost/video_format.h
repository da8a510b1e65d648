// The video formats the host can run at: one table of frame sizes, scans, rates, pixel shapes and
// colours. The format set here is what the plug-ins' probes, the timing services and the export follow.
#ifndef HXHOST_VIDEO_FORMAT_H
#define HXHOST_VIDEO_FORMAT_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

struct VideoFormat {
    std::string name = "pal";
    int32_t width = 720;
    int32_t height = 576;
    bool progressive = false;     // one instant a frame, rather than two fields
    int32_t framesPerSecond = 25; // the whole rate the plug-ins are told
    bool fractionalRate = false;  // the true rate is framesPerSecond x 1000/1001
    int32_t pixelAspect = 1067;   // thousandths
    bool highDefinition = false;  // BT.709 colours rather than BT.601

    bool operator==(const VideoFormat&) const = default;
};

// Every format of the table at its own rate, in the table's order.
HXHOST_API const std::vector<VideoFormat>& videoFormats();
// The format called `name` ("hd1080" is 1080i) at `rate`: empty for the format's own, else one of
// 24, 25, 30, 50, 60, 23.976, 29.97, 59.94 for a progressive format. False with a message.
HXHOST_API bool findVideoFormat(const std::string& name, const std::string& rate, VideoFormat& out, std::string* error);
// "1080p at 29.97 frames a second": how a format is named to people and in the project's file.
HXHOST_API std::string describeVideoFormat(const VideoFormat& format);
// The rate as findVideoFormat takes it: "25", "29.97".
HXHOST_API std::string rateText(const VideoFormat& format);

HXHOST_API void setVideoFormat(const VideoFormat& format);
// The format found by name and rate as findVideoFormat finds it; false (the format unchanged) with a message.
HXHOST_API bool setVideoFormat(const std::string& name, const std::string& rate = "", std::string* error = nullptr);
HXHOST_API const VideoFormat& videoFormat();

// The format the active project was last built at, kept beside its storyboard. False when the
// project keeps none (made before formats were kept, or never built) or its file is damaged.
HXHOST_API bool keptVideoFormat(VideoFormat& out);
// Keeps the current format with the active project, atomically.
HXHOST_API bool keepVideoFormat(std::string* error = nullptr);

} // namespace hxhost

#endif
