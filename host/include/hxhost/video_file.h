// Video files the host writes: interlaced or progressive 4:2:0 pictures with 48 kHz stereo sound, as
// MP4 (H.264, HEVC or AV1 + AAC), MKV (FFV1 + FLAC, or a chosen codec), WebM (VP9 or AV1 + Opus) or
// Y4M with a WAV beside it. Every file is written under a part name of its own beside it
// ("NAME.xxxxxx.part", created new) and takes its name only when finished, so an unfinished file
// never sits under the user's name and two writers of one name never mix.
#ifndef HXHOST_VIDEO_FILE_H
#define HXHOST_VIDEO_FILE_H

#include "hxhost/api.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OpImage;

namespace hxhost {

constexpr int32_t kAudioRate = 48000;
constexpr int kAudioChannels = 2;

// The encoder and its settings; empty or -1 takes the host's default for that encoder, which
// encoderDefaults() tells.
struct EncoderChoice {
    std::string codec;   // h264, hevc, av1 or vp9; empty: the container's own (H.264 in MP4, FFV1 in MKV, VP9 in WebM)
    std::string preset;  // the encoder's speed preset
    int32_t quality = -1; // its constant-quality level (CRF): lower is better and larger
};

// Each codec's defaults, one line each after `indent`, for people: "h264 (libx264): preset veryfast, quality 18 ...".
HXHOST_API std::string encoderDefaults(const std::string& indent = "");

struct HXHOST_API VideoFileFormat {
    int32_t width = 720;
    int32_t height = 576;
    int32_t framesPerSecond = 25;
    bool fractionalRate = false;  // the true rate is framesPerSecond x 1000/1001
    int32_t pixelAspect = 1067;   // thousandths, as the format gives it
    bool progressive = false;     // else interlaced, in the field order below
    bool bottomFirst = false;     // field order
    bool highDefinition = false;  // BT.709 colours rather than BT.601
    EncoderChoice encoder;
    int32_t encoderThreads = 0; // 0: as many as the encoder likes

    // The frame, scan, rate, pixel aspect, field order and colours of the host's video format.
    static VideoFileFormat ofVideoFormat();
};

// The WAV a Y4M file's sound goes to ("show.y4m": "show.wav"); empty for other kinds.
HXHOST_API std::string soundFileBeside(const std::string& path);

// The sample aspect written for a pixel aspect in thousandths: the smallest ratio that rounds to it.
HXHOST_API void sampleAspectRatio(int32_t thousandths, int32_t* numerator, int32_t* denominator);

// First audio sample of a frame: frame boundaries fall on whole samples, rounding down.
HXHOST_API int64_t audioSampleOfFrame(int64_t frame, int32_t framesPerSecond, bool fractionalRate = false);

// One 4:2:0 frame: the Y plane, then U, then V, each row by row without padding.
struct HXHOST_API WovenFrame {
    std::vector<uint8_t> planes;
    // Weaves two fields in time order (format 1, each width x height / 2) as the format's field order
    // says; each field keeps its own chroma. False when they do not make a frame of the format.
    bool weave(const OpImage* firstField, const OpImage* secondField, const VideoFileFormat& format);
};

class HXHOST_API VideoFile {
public:
    // The container follows the name's extension: .mp4, .mkv, .webm or .y4m (with NAME.wav); "/dev/null"
    // takes everything and keeps nothing. Null with a reason, also for a codec the container cannot hold.
    static std::unique_ptr<VideoFile> create(const std::string& path, const VideoFileFormat& format,
                                             std::string* error);
    // What create would refuse of the path's kind and the encoder's settings, found without making a
    // file or encoding anything; false with the reason.
    static bool check(const std::string& path, const VideoFileFormat& format, std::string* error);
    // An unfinished file is removed, with its part.
    virtual ~VideoFile();
    // One frame from its two fields in time order (format 1, each width x height / 2); borrowed.
    bool addFrame(const OpImage* firstField, const OpImage* secondField, std::string* error);
    virtual bool addWovenFrame(const WovenFrame& frame, std::string* error) = 0;
    // Interleaved stereo samples in [-1, 1] at 48 kHz; borrowed.
    virtual bool addAudio(const float* samples, size_t sampleFrames, std::string* error) = 0;
    // Flushes, closes and renames the file into place.
    virtual bool finish(std::string* error) = 0;

protected:
    explicit VideoFile(const VideoFileFormat& format) : format_(format) {}
    const VideoFileFormat format_;
    WovenFrame woven_;
};

} // namespace hxhost

#endif
