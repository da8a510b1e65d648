// Choosing a writer by the output's extension, and the numbers every writer shares.
#include "hxhost/video_file.h"

#include "playback/ffmpeg_quiet.h"
#include "playback/writers.h"
#include "runtime/host_state.h"

#include <cmath>
#include <cstdlib>

namespace hxhost {

void sampleAspectRatio(int32_t thousandths, int32_t* numerator, int32_t* denominator)
{
    if (thousandths <= 0)
        thousandths = 1000;
    for (int32_t d = 1;; ++d) {
        const auto n = static_cast<int32_t>(std::lround(thousandths * d / 1000.0));
        if (std::abs(n * 1000 - thousandths * d) * 2 <= d) {
            *numerator = n;
            *denominator = d;
            return;
        }
    }
}

int64_t audioSampleOfFrame(int64_t frame, int32_t framesPerSecond)
{
    return frame * kAudioRate / framesPerSecond;
}

VideoFile::~VideoFile() = default;

std::unique_ptr<VideoFile> VideoFile::create(const std::string& path, const VideoFileFormat& format,
                                             std::string* error)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<VideoFile> {
        if (error)
            *error = why;
        return nullptr;
    };
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : path.substr(dot);
    if (format.width <= 0 || format.width % 2 || format.height <= 0 || format.height % 4 ||
        format.framesPerSecond <= 0)
        return fail("cannot write video of " + std::to_string(format.width) + "x" + std::to_string(format.height));
    hx::quietFfmpeg();
    if (hx::shouldFail("createVideoFile"))
        return fail("cannot write " + path);
    if (extension == ".y4m")
        return hx::openY4mWavFile(path, format, error);
    if (extension == ".mp4" || extension == ".mkv")
        return hx::openEncodedFile(path, format, extension == ".mp4" ? hx::Container::Mp4 : hx::Container::Mkv, error);
    return fail("unknown kind of video file '" + path + "' (use .mp4, .mkv or .y4m)");
}

} // namespace hxhost
