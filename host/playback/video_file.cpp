// Choosing a writer by the output's extension, and the numbers every writer shares.
#include "hxhost/video_file.h"

#include "hxhost/video_format.h"

#include "playback/encoder_choice.h"
#include "playback/encoder_module.h"
#include "playback/frame_weave.h"
#include "playback/writers.h"
#include "runtime/host_state.h"

#include "host/hxmotion.h"

#include <cmath>
#include <cstdlib>

namespace {

std::string extensionOf(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? "" : path.substr(dot);
}

constexpr char kY4mTakesNoCodec[] = "a .y4m file is not encoded: it takes no --codec";

std::string unknownKind(const std::string& path)
{
    return "unknown kind of video file '" + path + "' (use .mp4, .mkv, .webm or .y4m)";
}

// The encoded container a name asks for; false for Y4M, the null sink and unknown kinds.
bool encodedContainerOf(const std::string& extension, hx::Container& container)
{
    if (extension == ".mp4")
        container = hx::Container::Mp4;
    else if (extension == ".mkv")
        container = hx::Container::Mkv;
    else if (extension == ".webm")
        container = hx::Container::WebM;
    else
        return false;
    return true;
}

} // namespace

namespace hxhost {

std::string soundFileBeside(const std::string& path)
{
    return extensionOf(path) == ".y4m" ? path.substr(0, path.rfind('.')) + ".wav" : "";
}

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

int64_t audioSampleOfFrame(int64_t frame, int32_t framesPerSecond, bool fractionalRate)
{
    if (fractionalRate)
        return frame * kAudioRate * 1001 / (1000 * static_cast<int64_t>(framesPerSecond));
    return frame * kAudioRate / framesPerSecond;
}

VideoFileFormat VideoFileFormat::ofVideoFormat()
{
    const VideoFormat& video = videoFormat();
    VideoFileFormat format;
    format.width = video.width;
    format.height = video.height;
    format.framesPerSecond = video.framesPerSecond;
    format.fractionalRate = video.fractionalRate;
    format.pixelAspect = video.pixelAspect;
    format.progressive = video.progressive;
    format.bottomFirst = cmGetFirstFieldStatus() != 0;
    format.highDefinition = video.highDefinition;
    return format;
}

VideoFile::~VideoFile() = default;

bool WovenFrame::weave(const OpImage* first, const OpImage* second, const VideoFileFormat& format)
{
    const OpImage *top, *bottom;
    if (!hx::frameFields(first, second, format, &top, &bottom))
        return false;
    planes.resize(hx::frameBytes(format));
    hx::weaveFrame(top, bottom, format, planes.data());
    return true;
}

bool VideoFile::addFrame(const OpImage* first, const OpImage* second, std::string* error)
{
    if (!woven_.weave(first, second, format_)) {
        if (error)
            *error = "the fields of a frame do not match the video";
        return false;
    }
    return addWovenFrame(woven_, error);
}

bool VideoFile::check(const std::string& path, const VideoFileFormat& format, std::string* error)
{
    const std::string extension = extensionOf(path);
    if (path == "/dev/null")
        return true;
    if (extension == ".y4m") {
        if (format.encoder.codec.empty())
            return true;
        if (error)
            *error = kY4mTakesNoCodec;
        return false;
    }
    hx::Container container;
    if (!encodedContainerOf(extension, container)) {
        if (error)
            *error = unknownKind(path);
        return false;
    }
    hx::ChosenEncoder chosen;
    if (!hx::chooseEncoder(format, container, chosen, error))
        return false;
    const hx::EncoderModule* encoder = hx::moduleTable<hx::EncoderModule>(error);
    return encoder && encoder->check(format, container, chosen, error);
}

std::unique_ptr<VideoFile> VideoFile::create(const std::string& path, const VideoFileFormat& format,
                                             std::string* error)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<VideoFile> {
        if (error)
            *error = why;
        return nullptr;
    };
    const std::string extension = extensionOf(path);
    if (format.width <= 0 || format.width % 2 || format.height <= 0 || format.height % 4 ||
        format.framesPerSecond <= 0)
        return fail("cannot write video of " + std::to_string(format.width) + "x" + std::to_string(format.height));
    if (hx::shouldFail("createVideoFile"))
        return fail("cannot write " + path);
    if (path == "/dev/null")
        return hx::openNullFile(format);
    if (extension == ".y4m") {
        if (!format.encoder.codec.empty())
            return fail(kY4mTakesNoCodec);
        return hx::openY4mWavFile(path, format, error);
    }
    if (hx::Container container; encodedContainerOf(extension, container)) {
        hx::ChosenEncoder chosen;
        if (!hx::chooseEncoder(format, container, chosen, error))
            return nullptr;
        const hx::EncoderModule* encoder = hx::moduleTable<hx::EncoderModule>(error);
        if (!encoder)
            return nullptr;
        return encoder->open(path, format, container, chosen, error);
    }
    return fail(unknownKind(path));
}

} // namespace hxhost
